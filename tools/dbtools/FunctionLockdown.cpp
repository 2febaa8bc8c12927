#include "tools/dbtools/FunctionLockdown.h"

#include "tools/dbtools/PgStatements.h"

namespace dbtools {

QStringList FunctionLockdown::functions(QSqlDatabase &db, QString *error, QStringList *everyones)
{
    QList<QVariantList> rows;
    if (!PgStatements::read(db, QStringLiteral("FuncionesRestringidas"), {}, &rows, error))
        return {};
    QStringList found;
    for (const QVariantList &row : std::as_const(rows)) {
        found << row.value(0).toString();
        if (everyones && row.value(1).toBool())
            *everyones << found.last();
    }
    return found;
}

DbOutcome FunctionLockdown::apply(QSqlDatabase &db)
{
    bool superuser = false;
    QString error;
    if (!PgStatements::isSuperuser(db, &superuser, &error))
        return DbOutcome::failure(QStringLiteral("Cannot tell whether the login is a superuser: %1").arg(error));
    if (!superuser) {
        DbOutcome skipped;
        skipped.notices << QStringLiteral(
            "not a superuser: the functions every login may call (set_config, pg_terminate_backend, "
            "pg_sleep, advisory locks, large objects and the like) stay callable by the reading role. "
            "Row security by company then rests on the server's statement check alone, and the server "
            "resets the reader's session after every request. Run the seed once as a superuser to take "
            "them away.");
        return skipped;
    }
    QStringList everyones;
    const QStringList found = functions(db, &error, &everyones);
    if (!error.isEmpty())
        return DbOutcome::failure(QStringLiteral("Cannot list the functions to take away: %1").arg(error));
    QStringList owner;
    if (!PgStatements::column(db, QStringLiteral("DuenoBase"), &owner, &error) || owner.isEmpty())
        return DbOutcome::failure(QStringLiteral("Cannot read the database's owner: %1").arg(error));
    QStringList statements;
    for (const QString &function : found) {
        // The owner gets back what everyone had, no more.
        QStringList names{QStringLiteral("QuitarFuncion")};
        if (everyones.contains(function))
            names << QStringLiteral("DevolverFuncion");
        const DbOutcome made = PgStatements::compose(
            names, {{QStringLiteral("funcion"), function}, {QStringLiteral("rol"), owner.first()}}, &statements);
        if (!made.ok())
            return made;
    }
    return PgStatements::run(db, statements, QStringLiteral("Cannot take functions away from the reading role"));
}

} // namespace dbtools
