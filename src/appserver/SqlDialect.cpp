#include "appserver/SqlDialect.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

#include <sqlite3.h>

namespace appserver {

namespace {

// PostgreSQL type oids of the result columns.
FieldType typeFromOid(int oid)
{
    switch (oid) {
    case 21: return FieldType::Smallint;                       // int2
    case 23: case 26: return FieldType::Integer;               // int4, oid
    case 20: return FieldType::Largeint;                       // int8
    case 700: case 701: case 1700: return FieldType::Float;    // float4, float8, numeric
    case 18: case 1042: return FieldType::FixedChar;           // char, bpchar
    case 19: case 25: case 1043: return FieldType::String;     // name, text, varchar
    case 1082: case 1083: case 1114: case 1184: case 1266: return FieldType::DateTime;
    case 17: return FieldType::Blob;                           // bytea
    case 16: return FieldType::Boolean;
    default: return FieldType::Unknown;
    }
}

// Columns without a declared type (expressions) in SQLite: what the driver saw in the value.
FieldType typeFromMetaType(int metaType)
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

sqlite3_stmt *sqliteStatement(const QSqlQuery &query)
{
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt *const *>(handle.constData());
}

QVariant sqliteDateText(const QVariant &value, bool dateOnly)
{
    if (value.metaType().id() == QMetaType::QDate || dateOnly)
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    const QDateTime dt = value.toDateTime();
    const QString format = dt.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                            : QStringLiteral("yyyy-MM-dd HH:mm:ss");
    return dt.toString(format);
}

// Dates without a time of day stay QDate (as PostgreSQL gives them): building a local
// QDateTime costs a time-zone lookup per value, and the client converts when it needs one.
QVariant parseDateTime(const QVariant &value)
{
    const int id = value.metaType().id();
    if (id == QMetaType::QDateTime || id == QMetaType::QDate)
        return value;
    const QString text = value.toString().trimmed();
    if (text.size() == 10) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        return date.isValid() ? QVariant(date) : value;
    }
    const QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
    return dt.isValid() ? QVariant(dt) : value;
}

} // namespace

QString SqlDialect::driverName() const
{
    return m_engine == Engine::Sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL");
}

QString SqlDialect::connectOptions(const DatabaseDescription &description, bool readOnly) const
{
    // The application name lets an administrator tell the server's two connections apart.
    if (m_engine == Engine::Postgres)
        return QStringLiteral("connect_timeout=10;application_name=%1")
            .arg(readOnly ? QStringLiteral("qacsemaf-lectura") : QStringLiteral("qacsemaf-escritura"));
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(description.lockTimeoutMs);
    if (readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    return options;
}

QStringList SqlDialect::sessionSetup(const DatabaseDescription &description, bool readOnly) const
{
    if (m_engine == Engine::Postgres) {
        // The statement guard reads '...' as standard strings; the server must too. A statement
        // or a locked row never holds a workstation for ever.
        QStringList setup{QStringLiteral("SET standard_conforming_strings = on"),
                          QStringLiteral("SET statement_timeout = %1").arg(description.statementTimeoutMs),
                          QStringLiteral("SET lock_timeout = %1").arg(description.lockTimeoutMs)};
        if (readOnly)
            setup << QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY");
        return setup;
    }
    // The journal mode is a property of the file, set once when `seed` creates it: opening a
    // database to use it changes nothing in it.
    return {};
}

QString SqlDialect::beginRequest(bool readOnly, const QList<int> &companies) const
{
    if (m_engine == Engine::Sqlite) {
        // IMMEDIATE takes the write lock at once, so a busy database makes us wait (busy
        // timeout) instead of failing half-way through the batch. The reader needs none: each
        // of its statements reads one consistent state of the file.
        return readOnly ? QString() : QStringLiteral("BEGIN IMMEDIATE");
    }
    QStringList codes;
    for (const int company : companies)
        codes << QString::number(company);
    // One round trip: the setting lives exactly as long as the transaction.
    return QStringLiteral("%1; SET LOCAL %2 = '%3'")
        .arg(readOnly ? QStringLiteral("BEGIN READ ONLY") : QStringLiteral("BEGIN"), companySetting(),
             codes.join(QLatin1Char(',')));
}

QString SqlDialect::endRequest(bool readOnly, bool commit) const
{
    if (m_engine == Engine::Sqlite && readOnly)
        return {};
    return commit ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK");
}

QString SqlDialect::sessionReset(const DatabaseDescription &description, bool readOnly) const
{
    if (m_engine != Engine::Postgres)
        return {};
    // RESET ALL leaves the role and the advisory locks as they are; the driver asked for UTF-8
    // once, when it connected.
    QStringList reset{QStringLiteral("RESET ALL"), QStringLiteral("RESET ROLE"),
                      QStringLiteral("SELECT pg_advisory_unlock_all()"),
                      QStringLiteral("SET client_encoding = 'UTF8'")};
    return (reset + sessionSetup(description, readOnly)).join(QStringLiteral("; "));
}

QString SqlDialect::beginRead() const
{
    return m_engine == Engine::Postgres ? QStringLiteral("SAVEPOINT consulta") : QString();
}

QString SqlDialect::endRead() const
{
    return m_engine == Engine::Postgres ? QStringLiteral("RELEASE SAVEPOINT consulta") : QString();
}

QString SqlDialect::tableListStatement() const
{
    if (m_engine == Engine::Sqlite)
        return QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'");
    return QStringLiteral("SELECT table_name FROM information_schema.tables "
                          "WHERE table_schema = current_schema()");
}

QList<FieldDesc> SqlDialect::describeResult(const QSqlQuery &query) const
{
    const QSqlRecord record = query.record();
    sqlite3_stmt *stmt = m_engine == Engine::Sqlite ? sqliteStatement(query) : nullptr;
    QList<FieldDesc> fields;
    fields.reserve(record.count());
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        FieldDesc desc;
        desc.name = field.name();
        if (m_engine == Engine::Postgres) {
            desc.type = typeFromOid(field.typeID());
            if (desc.type == FieldType::String || desc.type == FieldType::FixedChar)
                desc.size = qMax(0, field.length());
        } else {
            const char *declared = stmt ? sqlite3_column_decltype(stmt, i) : nullptr;
            desc.type = declared ? typeFromDeclared(QString::fromUtf8(declared), &desc.size)
                                 : typeFromMetaType(field.metaType().id());
        }
        fields << desc;
    }
    return fields;
}

QList<ColumnInfo> SqlDialect::tableColumns(QSqlDatabase &db, const QString &table,
                                           QString *error) const
{
    QSqlQuery query(db);
    if (m_engine == Engine::Sqlite) {
        query.prepare(QStringLiteral("SELECT name, type FROM pragma_table_info(?)"));
    } else {
        query.prepare(QStringLiteral(
            "SELECT column_name, data_type, character_maximum_length FROM information_schema.columns "
            "WHERE table_schema = current_schema() AND table_name = lower(?) ORDER BY ordinal_position"));
    }
    query.addBindValue(table);
    QList<ColumnInfo> columns;
    if (!query.exec()) {
        *error = query.lastError().text();
        return columns;
    }
    while (query.next()) {
        ColumnInfo column;
        column.name = query.value(0).toString();
        const QString declared = query.value(1).toString();
        column.type = typeFromDeclared(declared, &column.size);
        if (m_engine == Engine::Postgres && !query.value(2).isNull())
            column.size = query.value(2).toInt();
        column.dateOnly = declared.trimmed().compare(QLatin1String("date"), Qt::CaseInsensitive) == 0;
        columns << column;
    }
    return columns;
}

bool SqlDialect::toDatabase(const QVariant &value, FieldType type, bool dateOnly, QVariant *out) const
{
    *out = value;
    if (value.isNull()) {
        *out = QVariant();
        return true;
    }
    bool ok = true;
    switch (type) {
    case FieldType::Smallint:
    case FieldType::Integer: *out = value.toString().trimmed().toInt(&ok); break;
    case FieldType::Largeint: *out = value.toString().trimmed().toLongLong(&ok); break;
    case FieldType::Float: *out = value.toDouble(&ok); break;
    case FieldType::String:
    case FieldType::FixedChar: *out = value.toString(); break;
    case FieldType::Blob: *out = value.toByteArray(); break;
    case FieldType::Boolean: *out = value.toBool(); break;
    case FieldType::DateTime: {
        const QVariant parsed = parseDateTime(value);
        const int parsedType = parsed.metaType().id();
        ok = parsedType == QMetaType::QDateTime || parsedType == QMetaType::QDate;
        *out = parsed;
        break;
    }
    case FieldType::Unknown: break;
    }
    if (!ok) {
        *out = value;
        return false;
    }
    const int id = out->metaType().id();
    if (m_engine == Engine::Sqlite && (id == QMetaType::QDateTime || id == QMetaType::QDate))
        *out = sqliteDateText(*out, dateOnly);
    return true;
}

QVariant SqlDialect::fromDatabase(const QVariant &value, FieldType type)
{
    if (value.isNull())
        return QVariant();
    switch (type) {
    case FieldType::Smallint:
    case FieldType::Integer: return value.metaType().id() == QMetaType::Int ? value : QVariant(value.toInt());
    case FieldType::Largeint: return value.toLongLong();
    case FieldType::Float: return value.toDouble();
    case FieldType::String:
    case FieldType::FixedChar: return value.toString();
    case FieldType::DateTime: return parseDateTime(value);
    case FieldType::Blob: return value.toByteArray();
    default: return value;
    }
}

QString SqlDialect::matchesOldValue(const ColumnInfo &column) const
{
    if (column.type != FieldType::DateTime)
        return column.name + QStringLiteral(" = ?");
    // Compare instants, not spellings: SQLite keeps dates as text in more than one form, and
    // PostgreSQL keeps microseconds the client never saw.
    if (m_engine == Engine::Sqlite)
        return QStringLiteral("strftime('%Y-%m-%d %H:%M:%f', %1) = strftime('%Y-%m-%d %H:%M:%f', ?)")
            .arg(column.name);
    return QStringLiteral("date_trunc('milliseconds', %1) = date_trunc('milliseconds', CAST(? AS timestamp))")
        .arg(column.name);
}

bool SqlDialect::isDuplicateKey(const QSqlError &error) const
{
    if (m_engine == Engine::Postgres)
        return error.nativeErrorCode() == QLatin1String("23505");
    const QString text = error.databaseText();
    return text.contains(QLatin1String("UNIQUE constraint failed"), Qt::CaseInsensitive)
        || text.contains(QLatin1String("PRIMARY KEY"), Qt::CaseInsensitive);
}

bool SqlDialect::isLockTimeout(const QSqlError &error) const
{
    if (m_engine == Engine::Postgres)
        return error.nativeErrorCode() == QLatin1String("55P03");
    return isLockTimeoutText(error.databaseText());
}

bool SqlDialect::isAccessRefusal(const QSqlError &error) const
{
    // insufficient_privilege: a revoked grant, and a row that row security keeps out.
    return m_engine == Engine::Postgres && error.nativeErrorCode() == QLatin1String("42501");
}

bool SqlDialect::isLockTimeoutText(const QString &text) const
{
    if (m_engine == Engine::Postgres)
        return text.contains(QLatin1String("lock timeout"), Qt::CaseInsensitive);
    return text.contains(QLatin1String("database is locked"), Qt::CaseInsensitive);
}

FieldType SqlDialect::typeFromDeclared(const QString &declared, int *size)
{
    const QString t = declared.trimmed().toLower();
    static const QRegularExpression sizePattern(QStringLiteral("\\(\\s*(\\d+)"));
    const auto match = sizePattern.match(t);
    *size = 0;
    const bool isText = t.contains(QLatin1String("char")) || t.contains(QLatin1String("text"))
        || t.contains(QLatin1String("clob"));
    if (isText) {
        if (match.hasMatch())
            *size = match.captured(1).toInt();
        const bool varying = t.contains(QLatin1String("var")) || t.contains(QLatin1String("text"))
            || t.contains(QLatin1String("clob"));
        return varying ? FieldType::String : FieldType::FixedChar;
    }
    if (t.startsWith(QLatin1String("smallint")) || t == QLatin1String("int2") || t == QLatin1String("tinyint"))
        return FieldType::Smallint;
    if (t.startsWith(QLatin1String("bigint")) || t == QLatin1String("int8"))
        return FieldType::Largeint;
    if (t.contains(QLatin1String("int")) || t == QLatin1String("serial"))
        return FieldType::Integer;
    if (t.contains(QLatin1String("doub")) || t.contains(QLatin1String("float")) || t.contains(QLatin1String("real"))
        || t.startsWith(QLatin1String("numeric")) || t.startsWith(QLatin1String("decimal")))
        return FieldType::Float;
    if (t.contains(QLatin1String("date")) || t.contains(QLatin1String("time")))
        return FieldType::DateTime;
    if (t.contains(QLatin1String("blob")) || t == QLatin1String("bytea") || t.contains(QLatin1String("binary")))
        return FieldType::Blob;
    if (t.startsWith(QLatin1String("bool")))
        return FieldType::Boolean;
    return FieldType::Unknown;
}

} // namespace appserver
