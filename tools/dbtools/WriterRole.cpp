#include "tools/dbtools/WriterRole.h"

#include "tools/dbtools/DbText.h"
#include "tools/dbtools/PgStatements.h"

namespace dbtools {

DbOutcome WriterRole::grant(QSqlDatabase &db, const QString &role)
{
    PgStatements::RoleFacts facts;
    if (const DbOutcome read = PgStatements::roleFacts(db, role, dbText(QT_TRANSLATE_NOOP("qacsemaf", "rol de escritura")), &facts); !read.ok())
        return read;
    if (!facts.exists && !facts.managesRoles)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "el rol de escritura %1 no existe y %2 no puede crear roles (no tiene "
                                                 "CREATEROLE): un administrador de PostgreSQL debe crearlo antes "
                                                 "(README, \"Setting up a site\")"))
                                      .arg(role, facts.login));
    const QHash<QString, QString> fills{{QStringLiteral("rol"), role},
                                        {QStringLiteral("acceso"), QStringLiteral("NOLOGIN")},
                                        {QStringLiteral("superusuario"), facts.withoutSuperuser()},
                                        {QStringLiteral("esquema"), facts.schema}};
    QStringList steps;
    if (facts.managesRoles) {
        if (!facts.exists)
            steps << QStringLiteral("CrearRol");
        steps << QStringLiteral("RolSinPoderes");
    }
    steps << QStringLiteral("Escritor");
    QList<QVariantList> rows;
    QString error;
    if (facts.exists && !PgStatements::read(db, QStringLiteral("EsMiembro"), {role}, &rows, &error))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede saber si el usuario de la conexión puede actuar como %1: %2")).arg(role, error));
    // The server's writer login must be able to take on the role; a superuser may take on any.
    if (!facts.superuser && !rows.value(0).value(0).toBool()) {
        if (!facts.managesRoles)
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no es miembro del rol de escritura %2 ni puede hacerse miembro "
                                                     "(no tiene CREATEROLE): un administrador de PostgreSQL debe "
                                                     "ejecutar GRANT %2 TO %1"))
                                          .arg(facts.login, role));
        steps << QStringLiteral("TomarRol");
    }
    return PgStatements::run(db, steps, fills, dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede preparar el rol de escritura %1")).arg(role));
}

} // namespace dbtools
