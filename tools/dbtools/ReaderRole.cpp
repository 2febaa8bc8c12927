#include "ReaderRole.h"

#include "PgStatements.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace dbtools {

namespace {

// The columns of GN_USUAR the read path may see: all but the password.
QStringList userColumnsWithoutPassword(QSqlDatabase &db, QString *error)
{
    QSqlQuery query(db);
    QStringList columns;
    if (!query.exec(QStringLiteral("SELECT quote_ident(column_name) FROM information_schema.columns "
                                   "WHERE table_schema = current_schema() AND table_name = 'gn_usuar' "
                                   "AND column_name <> 'pas_usua' ORDER BY ordinal_position"))) {
        *error = query.lastError().text();
        return {};
    }
    while (query.next())
        columns << query.value(0).toString();
    return columns;
}

} // namespace

DbOutcome ReaderRole::checkName(const QString &role, const QString &what)
{
    static const QRegularExpression plainName(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    if (!plainName.match(role).hasMatch())
        return DbOutcome::failure(QStringLiteral("The %1 name \"%2\" must be a lower-case identifier").arg(what, role));
    return DbOutcome::success();
}

DbOutcome ReaderRole::grant(QSqlDatabase &db, const QString &role, const QString &password)
{
    if (const DbOutcome name = checkName(role, QStringLiteral("reader role")); !name.ok())
        return name;
    QSqlQuery query(db);
    query.prepare(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = ?"));
    query.addBindValue(role);
    if (!query.exec())
        return DbOutcome::failure(QStringLiteral("Cannot look up role %1: %2").arg(role, query.lastError().text()));
    const bool exists = query.next();
    bool superuser = false;
    QString error;
    if (!PgStatements::isSuperuser(db, &superuser, &error))
        return DbOutcome::failure(QStringLiteral("Cannot tell whether the login is a superuser: %1").arg(error));
    QStringList statements;
    if (!exists)
        statements << QStringLiteral("CREATE ROLE %1 LOGIN").arg(role);
    statements << QStringLiteral("ALTER ROLE %1 LOGIN %2").arg(role, PgStatements::withoutPowers(superuser));
    if (!password.isEmpty())
        statements << QStringLiteral("ALTER ROLE %1 PASSWORD %2").arg(role, PgStatements::quotedLiteral(password));
    QString schema;
    if (!PgStatements::currentSchema(db, &schema, &error))
        return DbOutcome::failure(QStringLiteral("Cannot read the current schema: %1").arg(error));
    const QString database = QLatin1Char('"') + db.databaseName().replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
    // What a session of the role starts with in this database, whoever opens it: the server sets
    // its own limits again, a login by hand gets the same.
    const QString defaults = QStringLiteral("ALTER ROLE %1 IN DATABASE %2 SET ").arg(role, database);
    statements << defaults + QStringLiteral("default_transaction_read_only = on")
               << defaults + QStringLiteral("search_path = %1").arg(schema)
               << defaults + QStringLiteral("statement_timeout = '60s'")
               << defaults + QStringLiteral("lock_timeout = '5s'")
               << defaults + QStringLiteral("idle_in_transaction_session_timeout = '10min'")
               << QStringLiteral("GRANT CONNECT ON DATABASE %1 TO %2").arg(database, role)
               << QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(schema, role)
               << QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA %1 TO %2").arg(schema, role);
    const QStringList userColumns = userColumnsWithoutPassword(db, &error);
    if (!error.isEmpty())
        return DbOutcome::failure(QStringLiteral("Cannot read the columns of GN_USUAR: %1").arg(error));
    // Passwords are proved on the writer's login: the read path never sees them.
    if (!userColumns.isEmpty())
        statements << QStringLiteral("REVOKE ALL ON gn_usuar FROM %1").arg(role)
                   << QStringLiteral("GRANT SELECT (%1) ON gn_usuar TO %2").arg(userColumns.join(QStringLiteral(", ")), role);
    return PgStatements::run(db, statements, QStringLiteral("Cannot set up the reader role %1").arg(role));
}

} // namespace dbtools
