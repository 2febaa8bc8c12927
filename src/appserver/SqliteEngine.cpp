#include "appserver/SqliteEngine.h"

#include "appserver/SqlDialect.h"
#include "appserver/SqliteBinding.h"
#include "appserver/SqliteReadAuthorizer.h"
#include "appserver/SqliteReader.h"
#include "appserver/SqliteWriter.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QUrl>

#include <sqlite3.h>

namespace appserver {

namespace {

sqlite3_stmt *sqliteStatementHandle(const QSqlQuery &query)
{
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt *const *>(handle.constData());
}

// Columns without a declared type (expressions): what the driver saw in the value.
FieldType typeFromSqliteValue(int metaType)
{
    switch (metaType) {
    case QMetaType::Int: return FieldType::Integer;
    case QMetaType::LongLong: return FieldType::Largeint;
    case QMetaType::Double: return FieldType::Float;
    case QMetaType::QString: return FieldType::String;
    case QMetaType::QByteArray: return FieldType::Blob;
    case QMetaType::Bool: return FieldType::Boolean;
    default: return FieldType::Unknown;
    }
}

class SqliteGuard : public ConnectionGuard {
public:
    explicit SqliteGuard(sqlite3 *handle) : m_authorizer(handle) {}
    void allowCredentials(bool allow) override { m_authorizer.allowCredentials(allow); }

private:
    SqliteReadAuthorizer m_authorizer;
};

} // namespace

QString SqliteEngine::configure(QSqlDatabase &db, const DatabaseDescription &description, bool readOnly) const
{
    // Opening a missing file would quietly create an empty database.
    if (!QFileInfo(description.filePath).isFile())
        return QStringLiteral("No existe la base de datos %1").arg(description.displayName());
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(description.lockTimeoutMs);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    db.setDatabaseName(description.filePath);
    // Nobody can write into a read-only folder, and SQLite could not make its shared-memory
    // file there; and in a WAL-mode file a read-only connection would make -wal and -shm files it
    // cannot remove: either database is read as a file that cannot change.
    const QFileInfo file(description.filePath);
    if (readOnly && (!QFileInfo(file.absolutePath()).isWritable() || journalsInWal(description.filePath))) {
        db.setDatabaseName(QUrl::fromLocalFile(file.absoluteFilePath()).toString() + QStringLiteral("?immutable=1"));
        options += QStringLiteral(";QSQLITE_OPEN_URI");
    }
    db.setConnectOptions(options);
    return {};
}

bool SqliteEngine::journalsInWal(const QString &filePath)
{
    // The header: "SQLite format 3\0", then at offsets 18 and 19 the write and read versions,
    // 2 for WAL.
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(20);
    return header.size() == 20 && header.startsWith(QByteArrayLiteral("SQLite format 3\0")) && header.at(18) == 2
        && header.at(19) == 2;
}

QString SqliteEngine::prepareOpened(QSqlDatabase &db, const DatabaseDescription &, bool readOnly,
                                    std::unique_ptr<ConnectionGuard> *guard, bool *resetsSession) const
{
    // The journal mode is a property of the file, set once when `seed` creates it: opening a
    // database to use it changes nothing in it.
    *resetsSession = false;
    if (readOnly)
        if (sqlite3 *handle = sqliteHandle(db))
            *guard = std::make_unique<SqliteGuard>(handle);
    return {};
}

bool SqliteEngine::inTransaction(const QSqlDatabase &db) const
{
    sqlite3 *handle = sqliteHandle(db);
    return handle && sqlite3_get_autocommit(handle) == 0;
}

QString SqliteEngine::beginRequest(bool readOnly, const QList<int> &) const
{
    // IMMEDIATE takes the write lock at once, so a busy database makes us wait (busy timeout)
    // instead of failing half-way through the batch. The reader needs none: each of its
    // statements reads one consistent state of the file.
    return readOnly ? QString() : QStringLiteral("BEGIN IMMEDIATE");
}

QString SqliteEngine::endRequest(bool readOnly, bool commit) const
{
    if (readOnly)
        return {};
    return commit ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK");
}

QString SqliteEngine::tableListStatement() const
{
    return QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'");
}

QString SqliteEngine::tableColumnsStatement() const
{
    return QStringLiteral("SELECT name, type, NULL FROM pragma_table_info(?)");
}

QList<FieldDesc> SqliteEngine::describeResult(const QSqlQuery &query) const
{
    const QSqlRecord record = query.record();
    sqlite3_stmt *stmt = sqliteStatementHandle(query);
    QList<FieldDesc> fields;
    fields.reserve(record.count());
    for (int i = 0; i < record.count(); ++i) {
        FieldDesc desc;
        desc.name = record.fieldName(i);
        const char *declared = stmt ? sqlite3_column_decltype(stmt, i) : nullptr;
        desc.type = declared ? SqlDialect::typeFromDeclared(QString::fromUtf8(declared), &desc.size)
                             : typeFromSqliteValue(record.field(i).metaType().id());
        fields << desc;
    }
    return fields;
}

QVariant SqliteEngine::storedDateTime(const QVariant &value, bool dateOnly) const
{
    if (value.metaType().id() == QMetaType::QDate || dateOnly)
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    const QDateTime dt = value.toDateTime();
    const QString format = dt.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                            : QStringLiteral("yyyy-MM-dd HH:mm:ss");
    return dt.toString(format);
}

QString SqliteEngine::matchesOldDateTime(const QString &column) const
{
    // Dates are text in more than one spelling: compare what they mean.
    return QStringLiteral("strftime('%Y-%m-%d %H:%M:%f', %1) = strftime('%Y-%m-%d %H:%M:%f', ?)").arg(column);
}

bool SqliteEngine::isDuplicateKey(const QSqlError &error) const
{
    const QString text = error.databaseText();
    return text.contains(QLatin1String("UNIQUE constraint failed"), Qt::CaseInsensitive)
        || text.contains(QLatin1String("PRIMARY KEY"), Qt::CaseInsensitive);
}

bool SqliteEngine::isLockTimeout(const QSqlError &error) const
{
    return isLockTimeoutText(error.databaseText());
}

bool SqliteEngine::isLockTimeoutText(const QString &text) const
{
    return text.contains(QLatin1String("database is locked"), Qt::CaseInsensitive);
}

std::unique_ptr<DirectReader> SqliteEngine::directReader(const QSqlDatabase &db) const
{
    sqlite3 *handle = sqliteHandle(db);
    return handle ? std::make_unique<SqliteReader>(handle) : nullptr;
}

std::unique_ptr<DirectWriter> SqliteEngine::directWriter(const QSqlDatabase &db) const
{
    sqlite3 *handle = sqliteHandle(db);
    return handle ? std::make_unique<SqliteWriter>(handle) : nullptr;
}

} // namespace appserver
