#include "tools/MigrateCommand.h"

#include "appserver/MaintenanceMark.h"
#include "appserver/SchemaVersion.h"
#include "tools/CommandLine.h"
#include "tools/SiteDatabase.h"
#include "tools/SiteOptions.h"
#include "tools/dbtools/SchemaLoader.h"
#include "tools/dbtools/SchemaMigrator.h"
#include "tools/dbtools/SiteEngine.h"

#include <QSqlError>
#include <QTextStream>

using namespace dbtools;

namespace {

// The roles made by init or seed read and write the tables a migration added; the reader keeps
// its password.
DbOutcome regrantRoles(QSqlDatabase db, const QString &connInfo)
{
    if (!db.transaction())
        return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo empezar la transacción: %1")).arg(db.lastError().text()));
    DbOutcome outcome = SiteEngine::of(db).setUpAccess(db, connInfo, QString());
    if (outcome.ok() && !db.commit())
        outcome = DbOutcome::failure(db.lastError().text());
    if (!outcome.ok()) {
        db.rollback();
        outcome.error = cliText(QT_TRANSLATE_NOOP("qacsemaf", "las migraciones se aplicaron, pero los permisos de "
                                                              "los usuarios del módulo no se pudieron poner al día: %1"))
                            .arg(outcome.error);
    }
    return outcome;
}

} // namespace

int runMigrateCommand(const QStringList &arguments)
{
    CommandLine line(arguments.value(0),
                     cliText(QT_TRANSLATE_NOOP("qacsemaf", "Pone una base de datos del módulo en la versión %1 del "
                                                           "esquema: aplica, en orden y cada una en su transacción, las "
                                                           "migraciones que le faltan, conservando sus datos. Mientras "
                                                           "tanto los servidores de aplicaciones de esa base responden "
                                                           "503 \"en mantenimiento\". Una base "
                                                           "SQLite pasa al diario de reversión (journal_mode=DELETE); "
                                                           "hágalo sin nadie conectado."))
                         .arg(appserver::SchemaVersion::current()));
    SiteOptions::addPlaceTo(line);
    SiteOptions options;
    try {
        line.parse(arguments);
        options = SiteOptions::read(line, SiteOptions::File::MustExist);
    } catch (const UsageError &error) {
        return reportUsageError(error, arguments.value(0));
    }
    SiteDatabase site(QStringLiteral("qacsemaf-migrate"));
    if (const DbOutcome opened = site.openExisting(options); !opened.ok())
        return reportFailure(opened.error);
    // Servers on this database answer "in maintenance" until the mark goes with this process.
    appserver::MaintenanceMark mark;
    if (const QString error = mark.take(site.db()); !error.isEmpty())
        return reportFailure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo poner la base de datos en mantenimiento: %1"))
                                 .arg(error));
    const QStringList tables = SchemaLoader(site.db()).existingTables();
    if (!tables.contains(QStringLiteral("GN_USUAR")) || !tables.contains(QStringLiteral("AC_PPROM")))
        return reportFailure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no es una base de datos de Semáforo de "
                                                                   "Carrera; créela con qacsemaf init"))
                                 .arg(site.displayName()));
    int before = 1;
    if (const DbOutcome read = SchemaMigrator(site.db()).readVersion(&before); !read.ok())
        return reportFailure(read.error);
    QStringList ran;
    DbOutcome outcome = SchemaMigrator(site.db()).migrate(site.displayName(), &ran);
    QTextStream out(stdout);
    for (const QString &migration : std::as_const(ran))
        out << "qacsemaf: " << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Aplicada la migración %1")).arg(migration) << '\n';
    if (outcome.ok())
        outcome = SiteEngine::of(site.db()).settleSchema(site.db());
    if (outcome.ok() && !ran.isEmpty())
        outcome = regrantRoles(site.db(), site.connInfo());
    if (!outcome.ok())
        return reportFailure(outcome.error);
    for (const QString &notice : std::as_const(outcome.notices))
        QTextStream(stderr) << "qacsemaf: " << cliText(QT_TRANSLATE_NOOP("qacsemaf", "aviso: %1")).arg(notice) << '\n';
    const int now = appserver::SchemaVersion::current();
    out << "qacsemaf: ";
    if (ran.isEmpty())
        out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 ya está en la versión %2 del esquema; no había nada que aplicar."))
                   .arg(site.displayName()).arg(now);
    else
        out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 pasó de la versión %2 a la %3 del esquema."))
                   .arg(site.displayName()).arg(before).arg(now);
    out << '\n';
    return 0;
}
