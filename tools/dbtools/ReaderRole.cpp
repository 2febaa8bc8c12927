#include "ReaderRole.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace dbtools {

namespace {

QString quotedLiteral(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

} // namespace

DbOutcome ReaderRole::grant(QSqlDatabase &db, const QString &role, const QString &password)
{
    static const QRegularExpression plainName(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    if (!plainName.match(role).hasMatch())
        return DbOutcome::failure(QStringLiteral("The reader role name \"%1\" must be a lower-case "
                                                 "identifier").arg(role));
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = ?"));
    query.addBindValue(role);
    if (!query.exec())
        return DbOutcome::failure(QStringLiteral("Cannot look up role %1: %2").arg(role, query.lastError().text()));
    QStringList statements;
    if (!query.next())
        statements << QStringLiteral("CREATE ROLE %1 LOGIN").arg(role);
    statements << QStringLiteral("ALTER ROLE %1 LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE NOINHERIT").arg(role);
    if (!password.isEmpty())
        statements << QStringLiteral("ALTER ROLE %1 PASSWORD %2").arg(role, quotedLiteral(password));
    statements << QStringLiteral("ALTER ROLE %1 SET default_transaction_read_only = on").arg(role)
               << QStringLiteral("GRANT CONNECT ON DATABASE \"%1\" TO %2")
                      .arg(db.databaseName().replace(QLatin1Char('"'), QStringLiteral("\"\"")), role);
    // The schema's name comes from the server itself; quote_ident keeps it one identifier.
    if (!query.exec(QStringLiteral("SELECT quote_ident(current_schema())")) || !query.next())
        return DbOutcome::failure(QStringLiteral("Cannot read the current schema: %1").arg(query.lastError().text()));
    const QString schema = query.value(0).toString();
    statements << QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(schema, role)
               << QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA %1 TO %2").arg(schema, role);
    for (const QString &statement : statements) {
        if (!query.exec(statement))
            return DbOutcome::failure(QStringLiteral("Cannot set up the reader role %1: %2")
                                          .arg(role, query.lastError().text()));
    }
    return DbOutcome::success();
}

} // namespace dbtools
