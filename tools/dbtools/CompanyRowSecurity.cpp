#include "CompanyRowSecurity.h"

#include "PgStatements.h"
#include "SqlDialect.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace dbtools {

namespace {

// The companies of the request, as the server set them; no setting lets only company 0 through,
// and a malformed one fails the statement instead of guessing.
QString rowCondition()
{
    return QStringLiteral("COD_EMPR = ANY (string_to_array('0,' || coalesce(current_setting('%1', true), ''), "
                          "',', '')::smallint[])")
        .arg(appserver::SqlDialect::companySetting());
}

// "table.policy" of the policies set up before, so that a second run replaces them quietly.
QStringList ourPolicies(QSqlDatabase &db, QString *error)
{
    QSqlQuery query(db);
    QStringList policies;
    if (!query.exec(QStringLiteral("SELECT quote_ident(tablename) || '.' || policyname FROM pg_policies "
                                   "WHERE schemaname = current_schema() AND policyname LIKE 'qacsemaf\\_%'"))) {
        *error = query.lastError().text();
        return {};
    }
    while (query.next())
        policies << query.value(0).toString();
    return policies;
}

} // namespace

QStringList CompanyRowSecurity::guardedTables(QSqlDatabase &db, QString *error)
{
    QSqlQuery query(db);
    QStringList tables;
    if (!query.exec(QStringLiteral(
            "SELECT quote_ident(c.relname) FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid "
            "WHERE c.relnamespace = (SELECT oid FROM pg_namespace WHERE nspname = current_schema()) "
            "AND c.relkind = 'r' AND a.attname = 'cod_empr' AND NOT a.attisdropped ORDER BY 1"))) {
        *error = query.lastError().text();
        return {};
    }
    while (query.next())
        tables << query.value(0).toString();
    return tables;
}

DbOutcome CompanyRowSecurity::apply(QSqlDatabase &db, const QString &readerRole, const QString &writerRole)
{
    QString error;
    const QStringList tables = guardedTables(db, &error);
    if (!error.isEmpty())
        return DbOutcome::failure(QStringLiteral("Cannot list the tables with COD_EMPR: %1").arg(error));
    const QStringList existing = ourPolicies(db, &error);
    if (!error.isEmpty())
        return DbOutcome::failure(QStringLiteral("Cannot list the policies of the tables: %1").arg(error));
    // Who may use which company is read on the writer's login; the reader sees its own part only.
    static const QStringList grantTables{QStringLiteral("gn_empre"), QStringLiteral("gn_usemp")};
    QStringList statements;
    for (const QString &table : tables) {
        const QString held = grantTables.contains(table) ? readerRole : readerRole + QStringLiteral(", ") + writerRole;
        statements << QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY").arg(table);
        for (const QString &policy : {QStringLiteral("qacsemaf_todos"), QStringLiteral("qacsemaf_empresas")})
            if (existing.contains(table + QLatin1Char('.') + policy))
                statements << QStringLiteral("DROP POLICY %1 ON %2").arg(policy, table);
        // Other logins of the suite keep every row: only the module's roles are held.
        statements << QStringLiteral("CREATE POLICY qacsemaf_todos ON %1 AS PERMISSIVE FOR ALL TO PUBLIC "
                                     "USING (true) WITH CHECK (true)").arg(table)
                   << QStringLiteral("CREATE POLICY qacsemaf_empresas ON %1 AS RESTRICTIVE FOR ALL TO %2 "
                                     "USING (%3) WITH CHECK (%3)").arg(table, held, rowCondition());
    }
    return PgStatements::run(db, statements, QStringLiteral("Cannot set up row security by company"));
}

} // namespace dbtools
