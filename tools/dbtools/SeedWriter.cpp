#include "tools/dbtools/SeedWriter.h"

#include "tools/dbtools/DbText.h"
#include "tools/dbtools/PgStatements.h"

#include "tools/dbtools/PgCopyWriter.h"
#include "tools/dbtools/SchemaLoader.h"

#include <QDateTime>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

namespace dbtools {

namespace {

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// NULL the way the SQLite driver reads it: an invalid variant or a null string, byte array,
// date or time.
bool isNullValue(const QVariant &value)
{
    if (value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString: return static_cast<const QString *>(value.constData())->isNull();
    case QMetaType::QByteArray: return static_cast<const QByteArray *>(value.constData())->isNull();
    case QMetaType::QDate: return static_cast<const QDate *>(value.constData())->isNull();
    case QMetaType::QTime: return static_cast<const QTime *>(value.constData())->isNull();
    case QMetaType::QDateTime: return static_cast<const QDateTime *>(value.constData())->isNull();
    default: return false;
    }
}

// SQLite keeps dates and times as text. Date-times are written the way the application server
// writes and compares them ("yyyy-MM-dd HH:mm:ss"), so that a seeded row matches on update.
QString textOf(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime stamp = value.toDateTime();
        return stamp.toString(stamp.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                                  : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QTime: return value.toTime().toString(QStringLiteral("hh:mm:ss.zzz"));
    default: return value.toString();   // dates as yyyy-MM-dd
    }
}

// Binds one value with the storage class the SQLite driver gives it: integers and booleans as
// integers, doubles as reals, byte arrays as blobs, everything else as text.
int bindValue(sqlite3_stmt *statement, int position, const QVariant &value)
{
    if (isNullValue(value))
        return sqlite3_bind_null(statement, position);
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Bool:
        return sqlite3_bind_int(statement, position, value.toInt());
    case QMetaType::UInt:
    case QMetaType::LongLong:
        return sqlite3_bind_int64(statement, position, value.toLongLong());
    case QMetaType::Double:
        return sqlite3_bind_double(statement, position, value.toDouble());
    case QMetaType::QByteArray: {
        const auto *bytes = static_cast<const QByteArray *>(value.constData());
        return sqlite3_bind_blob(statement, position, bytes->constData(), int(bytes->size()),
                                 SQLITE_TRANSIENT);
    }
    case QMetaType::QString: {
        const auto *text = static_cast<const QString *>(value.constData());
        return sqlite3_bind_text16(statement, position, text->utf16(), int(text->size() * sizeof(QChar)),
                                   SQLITE_TRANSIENT);
    }
    default: {
        const QString text = textOf(value);
        return sqlite3_bind_text16(statement, position, text.utf16(), int(text.size() * sizeof(QChar)),
                                   SQLITE_TRANSIENT);
    }
    }
}

} // namespace

struct SqliteInsert {
    sqlite3_stmt *statement = nullptr;
    ~SqliteInsert() { sqlite3_finalize(statement); }
};

SeedWriter::SeedWriter(const QSqlDatabase &db)
    : m_db(db), m_sqlite(db.driverName() == QLatin1String("QSQLITE"))
{
    if (!m_sqlite) {
        m_copy = std::make_unique<PgCopyWriter>(db);
        return;
    }
    // The whole seed is one transaction: with SQLite's default page cache (2 MB) its pages spill
    // into the write-ahead log long before the commit and are read back for every index update.
    // The cache grows as the rows need it, up to this (a connection's setting, not the file's).
    QSqlQuery(m_db).exec(QStringLiteral("PRAGMA cache_size = -262144"));
}

SeedWriter::~SeedWriter() = default;

SeedWriter::Table &SeedWriter::tableFor(const QString &table, int valueCount)
{
    auto found = m_tables.find(table);
    if (found == m_tables.end()) {
        const QStringList columns = SchemaLoader::columns(table);
        if (columns.isEmpty())
            throw SeedError(dbText(QT_TRANSLATE_NOOP("qacsemaf", "Tabla desconocida %1")).arg(table));
        found = m_tables.insert(table, Table{columns, 0, nullptr});
    }
    if (found->columns.size() != valueCount)
        throw SeedError(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 tiene %2 columnas y se dieron %3 valores"))
                            .arg(table).arg(found->columns.size()).arg(valueCount));
    return *found;
}

QMap<QString, int> SeedWriter::counts() const
{
    QMap<QString, int> counts;
    for (auto it = m_tables.cbegin(); it != m_tables.cend(); ++it)
        counts.insert(it.key(), it->count);
    return counts;
}

SqliteInsert &SeedWriter::statementFor(const QString &name, Table &table)
{
    if (table.insert)
        return *table.insert;
    sqlite3 *handle = sqliteHandle(m_db);
    if (!handle)
        throw SeedError(dbText(QT_TRANSLATE_NOOP("qacsemaf", "La conexión SQLite de %1 no está abierta")).arg(name));
    const QStringList &columns = table.columns;
    QStringList texts;
    const DbOutcome composed = PgStatements::texts(
        QStringLiteral("InsertarFila"),
        {{QStringLiteral("tabla"), name.toLower()},
         {QStringLiteral("columnas"), columns.join(QStringLiteral(", ")).toLower()},
         {QStringLiteral("valores"), QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))}},
        &texts);
    if (!composed.ok())
        throw SeedError(composed.error);
    const QByteArray sql = texts.value(0).toUtf8();
    auto insert = std::make_shared<SqliteInsert>();
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &insert->statement, nullptr) != SQLITE_OK)
        throw SeedError(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede preparar la inserción en %1: %2"))
                            .arg(name, QString::fromUtf8(sqlite3_errmsg(handle))));
    table.insert = insert;
    return *insert;
}

void SeedWriter::insertSqlite(const QString &name, Table &table, const QVariantList &values)
{
    sqlite3_stmt *statement = statementFor(name, table).statement;
    int result = SQLITE_OK;
    for (int i = 0; i < values.size() && result == SQLITE_OK; ++i)
        result = bindValue(statement, i + 1, values.at(i));
    if (result == SQLITE_OK)
        result = sqlite3_step(statement);
    if (result != SQLITE_DONE) {
        const QString error = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement)));
        sqlite3_reset(statement);
        throw SeedError(dbText(QT_TRANSLATE_NOOP("qacsemaf", "Falló la inserción en %1: %2")).arg(name, error));
    }
    sqlite3_reset(statement);
}

void SeedWriter::insert(const QString &table, const QVariantList &values)
{
    Table &found = tableFor(table, int(values.size()));
    if (m_copy)
        m_copy->append(table, found.columns, values);
    else
        insertSqlite(table, found, values);
    ++found.count;
}

void SeedWriter::flush()
{
    if (m_copy)
        m_copy->flush();
}

} // namespace dbtools
