#include "tools/dbtools/ReaderRole.h"

#include "tools/dbtools/PgStatements.h"

namespace dbtools {

DbOutcome ReaderRole::grant(QSqlDatabase &db, const QString &role, const QString &password)
{
    PgStatements::RoleFacts facts;
    if (const DbOutcome read = PgStatements::roleFacts(db, role, QStringLiteral("reader role"), &facts); !read.ok())
        return read;
    QString error;
    QStringList database, userColumns;
    if (!PgStatements::column(db, QStringLiteral("BaseActual"), &database, &error) || database.isEmpty())
        return DbOutcome::failure(QStringLiteral("Cannot read the database's name: %1").arg(error));
    if (!PgStatements::column(db, QStringLiteral("ColumnasUsuarioSinClave"), &userColumns, &error))
        return DbOutcome::failure(QStringLiteral("Cannot read the columns of GN_USUAR: %1").arg(error));
    const QHash<QString, QString> fills{{QStringLiteral("rol"), role},
                                        {QStringLiteral("acceso"), QStringLiteral("LOGIN")},
                                        {QStringLiteral("superusuario"), facts.withoutSuperuser()},
                                        {QStringLiteral("clave"), password},
                                        {QStringLiteral("base"), database.first()},
                                        {QStringLiteral("esquema"), facts.schema},
                                        {QStringLiteral("columnas"), userColumns.join(QStringLiteral(", "))}};
    QStringList steps{QStringLiteral("RolSinPoderes"), QStringLiteral("Lector")};
    if (!facts.exists)
        steps.prepend(QStringLiteral("CrearRol"));
    // An empty password leaves the role's own as it is.
    if (!password.isEmpty())
        steps << QStringLiteral("ClaveRol");
    if (!userColumns.isEmpty())
        steps << QStringLiteral("LectorSinClaves");
    return PgStatements::run(db, steps, fills, QStringLiteral("Cannot set up the reader role %1").arg(role));
}

} // namespace dbtools
