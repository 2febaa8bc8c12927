#include "PgStatements.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace dbtools {

DbOutcome PgStatements::run(QSqlDatabase &db, const QStringList &statements, const QString &what)
{
    QSqlQuery query(db);
    for (const QString &statement : statements) {
        if (!query.exec(statement))
            return DbOutcome::failure(QStringLiteral("%1: %2\n%3").arg(what, query.lastError().text(), statement));
    }
    return DbOutcome::success();
}

bool PgStatements::value(QSqlDatabase &db, const QString &statement, QVariant *out, QString *error)
{
    QSqlQuery query(db);
    if (!query.exec(statement) || !query.next()) {
        *error = query.lastError().isValid() ? query.lastError().text() : QStringLiteral("no row");
        return false;
    }
    *out = query.value(0);
    return true;
}

bool PgStatements::currentSchema(QSqlDatabase &db, QString *schema, QString *error)
{
    // The schema's name comes from the server itself; quote_ident keeps it one identifier.
    QVariant name;
    if (!value(db, QStringLiteral("SELECT quote_ident(current_schema())"), &name, error))
        return false;
    *schema = name.toString();
    return true;
}

QString PgStatements::quotedLiteral(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

bool PgStatements::isSuperuser(QSqlDatabase &db, bool *superuser, QString *error)
{
    QVariant flag;
    if (!value(db, QStringLiteral("SELECT rolsuper FROM pg_roles WHERE rolname = current_user"), &flag, error))
        return false;
    *superuser = flag.toBool();
    return true;
}

QString PgStatements::withoutPowers(bool superuser)
{
    return superuser ? QStringLiteral("NOSUPERUSER NOCREATEDB NOCREATEROLE NOINHERIT")
                     : QStringLiteral("NOCREATEDB NOCREATEROLE NOINHERIT");
}

} // namespace dbtools
