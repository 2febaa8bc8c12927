#include "tools/dbtools/FunctionLockdown.h"

#include "tools/dbtools/DbText.h"
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
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede saber si el usuario de la conexión es superusuario: %1")).arg(error));
    if (!superuser) {
        DbOutcome skipped;
        skipped.notices << dbText(QT_TRANSLATE_NOOP(
            "qacsemaf",
            "el usuario de la conexión no es superusuario: las funciones que cualquier usuario puede "
            "llamar (set_config, pg_terminate_backend, pg_sleep, los bloqueos consultivos, los objetos "
            "grandes y otras) siguen al alcance del usuario de lectura. La seguridad de filas por "
            "empresa descansa entonces solo en la revisión de sentencias del servidor, que restablece "
            "la sesión del lector después de cada petición. Ejecute init o seed una vez como "
            "superusuario para quitárselas."));
        return skipped;
    }
    QStringList everyones;
    const QStringList found = functions(db, &error, &everyones);
    if (!error.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se pueden listar las funciones que se quitan: %1")).arg(error));
    QStringList owner;
    if (!PgStatements::column(db, QStringLiteral("DuenoBase"), &owner, &error) || owner.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede leer el dueño de la base de datos: %1")).arg(error));
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
    return PgStatements::run(db, statements, dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se pueden quitar las funciones al usuario de lectura")));
}

} // namespace dbtools
