#include "tools/dbtools/WriterRole.h"

#include "tools/dbtools/PgStatements.h"

namespace dbtools {

DbOutcome WriterRole::grant(QSqlDatabase &db, const QString &role)
{
    PgStatements::RoleFacts facts;
    if (const DbOutcome read = PgStatements::roleFacts(db, role, QStringLiteral("writer role"), &facts); !read.ok())
        return read;
    const QHash<QString, QString> fills{{QStringLiteral("rol"), role},
                                        {QStringLiteral("acceso"), QStringLiteral("NOLOGIN")},
                                        {QStringLiteral("superusuario"), facts.withoutSuperuser()},
                                        {QStringLiteral("esquema"), facts.schema}};
    QStringList steps{QStringLiteral("RolSinPoderes"), QStringLiteral("Escritor")};
    if (!facts.exists)
        steps.prepend(QStringLiteral("CrearRol"));
    // A superuser may take on any role already.
    if (!facts.superuser)
        steps << QStringLiteral("TomarRol");
    return PgStatements::run(db, steps, fills, QStringLiteral("Cannot set up the writer role %1").arg(role));
}

} // namespace dbtools
