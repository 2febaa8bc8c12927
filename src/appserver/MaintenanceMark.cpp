#include "appserver/MaintenanceMark.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <cerrno>
#include <cstring>
#include <sys/file.h>

namespace appserver {

namespace {

// The advisory lock's key ("QACS"); a bigint key shows in pg_locks as classid 0, objid key.
constexpr qint64 kAdvisoryKey = 0x51414353;

} // namespace

MaintenanceMark::MaintenanceMark() = default;

MaintenanceMark::~MaintenanceMark()
{
    release();
}

QString MaintenanceMark::lockFileOf(const QString &databaseFile)
{
    return databaseFile + QStringLiteral("-migrate.lock");
}

QString MaintenanceMark::take(QSqlDatabase db)
{
    release();
    if (db.driverName() == QLatin1String("QPSQL")) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SELECT pg_advisory_lock(%1)").arg(kAdvisoryKey)))
            return query.lastError().text();
        m_db = db;
        return {};
    }
    auto file = std::make_unique<QFile>(lockFileOf(db.databaseName()));
    if (!file->open(QIODevice::ReadWrite))
        return QStringLiteral("%1: %2").arg(file->fileName(), file->errorString());
    int taken;
    do
        taken = ::flock(file->handle(), LOCK_EX);
    while (taken != 0 && errno == EINTR);
    if (taken != 0)
        return QStringLiteral("%1: %2").arg(file->fileName(), QString::fromLocal8Bit(std::strerror(errno)));
    m_file = std::move(file);
    return {};
}

void MaintenanceMark::release()
{
    if (m_file) {
        // Removed while still locked: a server that opens it later finds nothing held.
        QFile::remove(m_file->fileName());
        m_file.reset();
    }
    if (m_db.isValid() && m_db.isOpen())
        QSqlQuery(m_db).exec(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kAdvisoryKey));
    m_db = {};
}

bool MaintenanceMark::heldOnFile(const QString &databaseFile)
{
    QFile file(lockFileOf(databaseFile));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    if (::flock(file.handle(), LOCK_SH | LOCK_NB) == 0) {
        ::flock(file.handle(), LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

QString MaintenanceMark::heldOnPostgres(QSqlQuery &query, bool *held)
{
    *held = false;
    if (!query.exec(QStringLiteral("SELECT count(*) FROM pg_locks WHERE locktype = 'advisory' AND granted "
                                   "AND database = (SELECT oid FROM pg_database WHERE datname = current_database()) "
                                   "AND classid = 0 AND objid = %1 AND objsubid = 1").arg(kAdvisoryKey))
        || !query.next())
        return query.lastError().text();
    *held = query.value(0).toInt() > 0;
    return {};
}

} // namespace appserver
