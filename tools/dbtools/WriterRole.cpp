#include "WriterRole.h"

#include "PgStatements.h"
#include "ReaderRole.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace dbtools {

DbOutcome WriterRole::grant(QSqlDatabase &db, const QString &role)
{
    if (const DbOutcome name = ReaderRole::checkName(role, QStringLiteral("writer role")); !name.ok())
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
    QString schema;
    if (!PgStatements::currentSchema(db, &schema, &error))
        return DbOutcome::failure(QStringLiteral("Cannot read the current schema: %1").arg(error));
    QStringList statements;
    if (!exists)
        statements << QStringLiteral("CREATE ROLE %1 NOLOGIN").arg(role);
    statements << QStringLiteral("ALTER ROLE %1 NOLOGIN %2").arg(role, PgStatements::withoutPowers(superuser))
               << QStringLiteral("GRANT USAGE ON SCHEMA %1 TO %2").arg(schema, role)
               << QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA %1 TO %2").arg(schema, role)
               << QStringLiteral("REVOKE INSERT, UPDATE, DELETE ON gn_usuar, gn_usemp, gn_empre FROM %1").arg(role);
    // A superuser may take on any role already.
    if (!superuser)
        statements << QStringLiteral("GRANT %1 TO CURRENT_USER").arg(role);
    return PgStatements::run(db, statements, QStringLiteral("Cannot set up the writer role %1").arg(role));
}

} // namespace dbtools
