#include "tools/dbtools/CompanyRowSecurity.h"

#include "appserver/SqlDialect.h"
#include "tools/dbtools/DbText.h"
#include "tools/dbtools/PgStatements.h"

namespace dbtools {

QStringList CompanyRowSecurity::guardedTables(QSqlDatabase &db, QString *error)
{
    QStringList tables;
    PgStatements::column(db, QStringLiteral("TablasConEmpresa"), &tables, error);
    return tables;
}

DbOutcome CompanyRowSecurity::apply(QSqlDatabase &db, const QString &readerRole, const QString &writerRole)
{
    QString error;
    const QStringList tables = guardedTables(db, &error);
    if (!error.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se pueden listar las tablas con COD_EMPR: %1")).arg(error));
    // "table.policy" of the policies set up before, so that a second run replaces them quietly.
    QStringList existing;
    if (!PgStatements::column(db, QStringLiteral("PoliticasPropias"), &existing, &error))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se pueden listar las políticas de las tablas: %1")).arg(error));
    // Who may use which company is read on the writer's login; the reader sees its own part only.
    static const QStringList grantTables{QStringLiteral("gn_empre"), QStringLiteral("gn_usemp")};
    QStringList statements;
    for (const QString &table : tables) {
        QStringList names;
        if (existing.contains(table + QStringLiteral(".qacsemaf_todos")))
            names << QStringLiteral("QuitarPoliticaTodos");
        if (existing.contains(table + QStringLiteral(".qacsemaf_empresas")))
            names << QStringLiteral("QuitarPoliticaEmpresas");
        names << QStringLiteral("SeguridadPorEmpresa");
        const QString held = grantTables.contains(table) ? readerRole : readerRole + QStringLiteral(", ") + writerRole;
        const DbOutcome made = PgStatements::compose(names,
                                                     {{QStringLiteral("tabla"), table},
                                                      {QStringLiteral("roles"), held},
                                                      {QStringLiteral("ajuste"), appserver::SqlDialect::companySetting()}},
                                                     &statements);
        if (!made.ok())
            return made;
    }
    return PgStatements::run(db, statements, dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede preparar la seguridad de filas por empresa")));
}

} // namespace dbtools
