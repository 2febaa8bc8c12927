#include "tools/dbtools/SqliteBackup.h"

#include "tools/dbtools/DbText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace dbtools {

namespace {

// Owns one SQLite connection.
class SqliteHandle {
public:
    SqliteHandle(const QString &file, int flags) { m_status = sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, flags, nullptr); }
    ~SqliteHandle() { sqlite3_close(m_db); }
    SqliteHandle(const SqliteHandle &) = delete;
    SqliteHandle &operator=(const SqliteHandle &) = delete;
    bool ok() const { return m_status == SQLITE_OK; }
    sqlite3 *get() const { return m_db; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

private:
    sqlite3 *m_db = nullptr;
    int m_status = SQLITE_ERROR;
};

// How long the copy waits for a writer that holds the file before it gives up.
constexpr int kBusyWaitMs = 30000;
constexpr int kBusyStepMs = 50;

bool isModuleDatabase(sqlite3 *db)
{
    sqlite3_stmt *statement = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND upper(name) = 'GN_USUAR'", -1,
                           &statement, nullptr) == SQLITE_OK)
        found = sqlite3_step(statement) == SQLITE_ROW;
    sqlite3_finalize(statement);
    return found;
}

DbOutcome copyPages(sqlite3 *from, sqlite3 *to, int *pages)
{
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo empezar la copia: %1")).arg(QString::fromUtf8(sqlite3_errmsg(to))));
    int status = SQLITE_OK;
    int waited = 0;
    // All pages in one step, under one read lock of the source: a copy of one moment.
    while ((status = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || status == SQLITE_LOCKED) {
        if (waited >= kBusyWaitMs)
            break;
        QThread::msleep(kBusyStepMs);
        waited += kBusyStepMs;
    }
    *pages = sqlite3_backup_pagecount(backup);
    sqlite3_backup_finish(backup);
    if (status != SQLITE_DONE)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "la copia no terminó: %1")).arg(QString::fromUtf8(sqlite3_errstr(status))));
    return DbOutcome::success();
}

} // namespace

DbOutcome SqliteBackup::copy(const QString &source, const QString &target, int *pages)
{
    *pages = 0;
    if (!QFileInfo(source).isFile())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "la base de datos %1 no existe")).arg(source));
    if (QFileInfo::exists(target))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 ya existe; la copia no reemplaza archivos")).arg(target));
    const QFileInfo info(target);
    if (!QFileInfo(info.absolutePath()).isDir())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "la carpeta de %1 no existe")).arg(target));
    const QString partial = info.absoluteDir().filePath(QStringLiteral(".%1.part").arg(info.fileName()));
    QFile::remove(partial);
    DbOutcome outcome;
    {
        SqliteHandle from(source, SQLITE_OPEN_READONLY);
        if (!from.ok())
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo abrir %1: %2")).arg(source, from.error()));
        sqlite3_busy_timeout(from.get(), kBusyWaitMs);
        if (!isModuleDatabase(from.get()))
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no es una base de datos de Semáforo de Carrera")).arg(source));
        SqliteHandle to(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (!to.ok())
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo crear %1: %2")).arg(partial, to.error()));
        outcome = copyPages(from.get(), to.get(), pages);
        // The copy takes the source's journal mode; it is a file to keep, with nothing beside it.
        if (outcome.ok() && sqlite3_exec(to.get(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK)
            outcome = DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo preparar la copia: %1")).arg(to.error()));
    }
    if (outcome.ok() && std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0)
        outcome = DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo renombrar %1 como %2: %3"))
                                         .arg(partial, target, QString::fromLocal8Bit(std::strerror(errno))));
    if (!outcome.ok())
        QFile::remove(partial);
    return outcome;
}

} // namespace dbtools
