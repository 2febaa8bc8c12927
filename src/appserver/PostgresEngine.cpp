#include "appserver/PostgresEngine.h"

#include "appserver/PostgresReader.h"
#include "appserver/SqlDialect.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <libpq-fe.h>

namespace appserver {

namespace {

// The driver names libpq's handle by its struct's tag.
PGconn *postgresConnectionHandle(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid())
        return nullptr;
    if (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0)
        return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

} // namespace

FieldType PostgresEngine::fieldTypeOfOid(int oid)
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

namespace {

QString quotedPgIdentifier(QString name)
{
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// Applies act as the module's writing role when the login may take it on, so that row security
// by company holds for them; a database set up before that role existed keeps the login's rights.
QString switchToWriterRole(QSqlDatabase &db, const QString &role)
{
    if (role.isEmpty())
        return {};
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = ? AND pg_has_role(oid, 'MEMBER')"));
    query.addBindValue(role);
    if (!query.exec())
        return query.lastError().text();
    if (!query.next())
        return {};
    if (!query.exec(QStringLiteral("SET ROLE %1").arg(quotedPgIdentifier(role))))
        return query.lastError().text();
    return {};
}

// Whether the login may change its own settings from a statement (set_config). Unknown counts
// as yes: a reset too many costs a round trip, one too few a leak.
bool mayChangeSession(QSqlDatabase &db)
{
    QSqlQuery query(db);
    return !query.exec(QStringLiteral("SELECT has_function_privilege("
                                      "'pg_catalog.set_config(text,text,boolean)', 'EXECUTE')"))
        || !query.next() || query.value(0).toBool();
}

} // namespace

QString PostgresEngine::configure(QSqlDatabase &db, const DatabaseDescription &description, bool readOnly) const
{
    db.setHostName(description.host);
    db.setPort(description.port);
    db.setDatabaseName(description.databaseName);
    const bool reader = readOnly && !description.readerUser.isEmpty();
    db.setUserName(reader ? description.readerUser : description.user);
    db.setPassword(reader && !description.readerPassword.isEmpty() ? description.readerPassword
                                                                   : description.password);
    // The application name lets an administrator tell the server's two connections apart.
    db.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=%1")
                             .arg(readOnly ? QStringLiteral("qacsemaf-lectura") : QStringLiteral("qacsemaf-escritura")));
    return {};
}

QString PostgresEngine::openFailureDetail(const DatabaseDescription &description, bool readOnly) const
{
    return readOnly ? QStringLiteral(" para lectura (usuario %1)").arg(description.readerUser) : QString();
}

QStringList PostgresEngine::sessionSetup(const DatabaseDescription &description, bool readOnly) const
{
    // The statement guard reads '...' as standard strings; the server must too. A statement or
    // a locked row never holds a workstation for ever.
    QStringList setup{QStringLiteral("SET standard_conforming_strings = on"),
                      QStringLiteral("SET statement_timeout = %1").arg(description.statementTimeoutMs),
                      QStringLiteral("SET lock_timeout = %1").arg(description.lockTimeoutMs)};
    if (readOnly) {
        setup << QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY");
        // The module's tables are read from memory: a probe of an index costs about what a
        // page read in turn does. At the default price the planner reads a whole records table
        // to pick out the few hundred holders of one position.
        setup << QStringLiteral("SET random_page_cost = 1.1");
    }
    return setup;
}

QString PostgresEngine::prepareOpened(QSqlDatabase &db, const DatabaseDescription &description, bool readOnly,
                                      std::unique_ptr<ConnectionGuard> *, bool *resetsSession) const
{
    *resetsSession = false;
    if (!readOnly)
        return switchToWriterRole(db, description.writerRole);
    *resetsSession = mayChangeSession(db);
    return {};
}

bool PostgresEngine::isBroken(const QSqlDatabase &db) const
{
    // libpq learns that the server ended the connection on the first statement that meets it.
    PGconn *handle = postgresConnectionHandle(db);
    return !handle || PQstatus(handle) == CONNECTION_BAD;
}

bool PostgresEngine::inTransaction(const QSqlDatabase &db) const
{
    PGconn *handle = postgresConnectionHandle(db);
    if (!handle)
        return false;
    const PGTransactionStatusType status = PQtransactionStatus(handle);
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
}

namespace {

// The setting lives exactly as long as the transaction, and row security lets through only
// those companies and company 0.
QStringList beginStatements(bool readOnly, const QList<int> &companies)
{
    QStringList codes;
    for (const int company : companies)
        codes << QString::number(company);
    return {readOnly ? QStringLiteral("BEGIN READ ONLY") : QStringLiteral("BEGIN"),
            QStringLiteral("SET LOCAL %1 = '%2'").arg(SqlDialect::companySetting(), codes.join(QLatin1Char(',')))};
}

} // namespace

QString PostgresEngine::beginRequest(bool readOnly, const QList<int> &companies) const
{
    // One round trip.
    return beginStatements(readOnly, companies).join(QStringLiteral("; "));
}

QStringList PostgresEngine::beginWithFirstRead(bool readOnly, const QList<int> &companies) const
{
    // A reading request is mostly one read: its begin, the read and its end cost one round
    // trip instead of three. Only the direct reader's requests ask for this (applies begin at once).
    return beginStatements(readOnly, companies);
}

QString PostgresEngine::endRequest(bool, bool commit) const
{
    return commit ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK");
}

QString PostgresEngine::sessionReset(const DatabaseDescription &description, bool readOnly) const
{
    // RESET ALL leaves the role and the advisory locks as they are; the driver asked for UTF-8
    // once, when it connected.
    QStringList reset{QStringLiteral("RESET ALL"), QStringLiteral("RESET ROLE"),
                      QStringLiteral("SELECT pg_advisory_unlock_all()"),
                      QStringLiteral("SET client_encoding = 'UTF8'")};
    return (reset + sessionSetup(description, readOnly)).join(QStringLiteral("; "));
}

QString PostgresEngine::tableListStatement() const
{
    return QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = current_schema()");
}

QString PostgresEngine::tableColumnsStatement() const
{
    // Unquoted names are kept in lower case.
    return QStringLiteral(
        "SELECT column_name, data_type, character_maximum_length FROM information_schema.columns "
        "WHERE table_schema = current_schema() AND table_name = lower(?) ORDER BY ordinal_position");
}

QList<FieldDesc> PostgresEngine::describeResult(const QSqlQuery &query) const
{
    const QSqlRecord record = query.record();
    QList<FieldDesc> fields;
    fields.reserve(record.count());
    for (int i = 0; i < record.count(); ++i) {
        const QSqlField field = record.field(i);
        FieldDesc desc;
        desc.name = field.name();
        desc.type = fieldTypeOfOid(field.typeID());
        if (desc.type == FieldType::String || desc.type == FieldType::FixedChar)
            desc.size = qMax(0, field.length());
        fields << desc;
    }
    return fields;
}

QString PostgresEngine::matchesOldDateTime(const QString &column) const
{
    // The database keeps microseconds the client never saw.
    return QStringLiteral("date_trunc('milliseconds', %1) = date_trunc('milliseconds', CAST(? AS timestamp))")
        .arg(column);
}

bool PostgresEngine::isDuplicateKey(const QSqlError &error) const
{
    return error.nativeErrorCode() == QLatin1String("23505");
}

bool PostgresEngine::isLockTimeout(const QSqlError &error) const
{
    return error.nativeErrorCode() == QLatin1String("55P03");
}

bool PostgresEngine::isLockTimeoutText(const QString &text) const
{
    return text.contains(QLatin1String("lock timeout"), Qt::CaseInsensitive);
}

std::unique_ptr<DirectReader> PostgresEngine::directReader(const QSqlDatabase &db) const
{
    PGconn *handle = postgresConnectionHandle(db);
    return handle ? std::make_unique<PostgresReader>(handle) : nullptr;
}

bool PostgresEngine::isAccessRefusal(const QSqlError &error) const
{
    // insufficient_privilege: a revoked grant, and a row that row security keeps out.
    return error.nativeErrorCode() == QLatin1String("42501");
}

} // namespace appserver
