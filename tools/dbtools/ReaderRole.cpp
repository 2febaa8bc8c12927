#include "tools/dbtools/ReaderRole.h"

#include "tools/dbtools/DbText.h"
#include "tools/dbtools/PgStatements.h"

namespace dbtools {

DbOutcome ReaderRole::grant(QSqlDatabase &db, const QString &role, const QString &password)
{
    PgStatements::RoleFacts facts;
    if (const DbOutcome read = PgStatements::roleFacts(db, role, dbText(QT_TRANSLATE_NOOP("qacsemaf", "usuario de lectura")), &facts); !read.ok())
        return read;
    if (!facts.exists && !facts.managesRoles)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "el usuario de lectura %1 no existe y %2 no puede crear roles (no tiene "
                                                 "CREATEROLE): un administrador de PostgreSQL debe crearlo antes "
                                                 "(README, \"Setting up a site\")"))
                                      .arg(role, facts.login));
    QString error;
    QStringList database, userColumns;
    if (!PgStatements::column(db, QStringLiteral("BaseActual"), &database, &error) || database.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede leer el nombre de la base de datos: %1")).arg(error));
    if (!PgStatements::column(db, QStringLiteral("ColumnasUsuarioSinClave"), &userColumns, &error))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se pueden leer las columnas de GN_USUAR: %1")).arg(error));
    const QHash<QString, QString> fills{{QStringLiteral("rol"), role},
                                        {QStringLiteral("acceso"), QStringLiteral("LOGIN")},
                                        {QStringLiteral("superusuario"), facts.withoutSuperuser()},
                                        {QStringLiteral("clave"), password},
                                        {QStringLiteral("base"), database.first()},
                                        {QStringLiteral("esquema"), facts.schema},
                                        {QStringLiteral("columnas"), userColumns.join(QStringLiteral(", "))}};
    // A role that other sites of the cluster use keeps its password: their servers log in with it.
    QList<QVariantList> others;
    if (facts.exists && !PgStatements::read(db, QStringLiteral("RolEnOtrasBases"), {role, role}, &others, &error))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede saber qué otras bases usan el rol %1: %2")).arg(role, error));
    QStringList otherDatabases;
    for (const QVariantList &row : std::as_const(others))
        otherDatabases << row.value(0).toString();
    QStringList steps;
    DbOutcome outcome;
    // A role a database administrator made beforehand is used as it is when this login may not
    // change roles: it only receives the grants of the tables' owner.
    if (facts.managesRoles) {
        if (!facts.exists)
            steps << QStringLiteral("CrearRol");
        steps << QStringLiteral("RolSinPoderes") << QStringLiteral("AjustesLector");
        // An empty password leaves the role's own as it is.
        if (!password.isEmpty() && otherDatabases.isEmpty())
            steps << QStringLiteral("ClaveRol");
        else if (!password.isEmpty())
            outcome.notices << dbText(QT_TRANSLATE_NOOP("qacsemaf", "el usuario de lectura %1 ya existe y lo usan también "
                                                                    "las bases %2 de este servidor PostgreSQL: su "
                                                                    "contraseña no se cambió, para que sus servidores "
                                                                    "sigan conectándose; el servidor de esta base debe "
                                                                    "usar la contraseña que el rol ya tiene, o dele a "
                                                                    "esta base un usuario de lectura propio con "
                                                                    "readuser= en --pg"))
                                   .arg(role, otherDatabases.join(QStringLiteral(", ")));
    } else if (!password.isEmpty()) {
        outcome.notices << dbText(QT_TRANSLATE_NOOP("qacsemaf", "la contraseña del usuario de lectura %1 no se cambió: %2 no puede cambiar "
                                          "roles; la pone el administrador de PostgreSQL")).arg(role, facts.login);
    }
    steps << QStringLiteral("Lector");
    if (!userColumns.isEmpty())
        steps << QStringLiteral("LectorSinClaves");
    steps << QStringLiteral("LectorSinRegistros");
    const DbOutcome ran = PgStatements::run(db, steps, fills, dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede preparar el usuario de lectura %1")).arg(role));
    if (!ran.ok())
        return ran;
    return outcome;
}

} // namespace dbtools
