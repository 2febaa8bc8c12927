#include "tools/RestoreCommand.h"

#include "appserver/MaintenanceMark.h"
#include "appserver/SchemaVersion.h"
#include "tools/CommandLine.h"
#include "tools/dbtools/SqliteBackup.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QTextStream>

namespace {

// How long the restore waits for a server or workstation that holds the database.
constexpr int kBusyWaitMs = 10000;

} // namespace

int runRestoreCommand(const QStringList &arguments)
{
    CommandLine line(arguments.value(0),
                     cliText(QT_TRANSLATE_NOOP("qacsemaf", "Pone una copia hecha con qacsemaf backup en lugar de una "
                                                           "base de datos SQLite, con la copia en línea de SQLite: quien "
                                                           "la tenga abierta ve la base de antes o la restaurada, entera. "
                                                           "Antes, lo que tenía la base se guarda en un archivo nuevo a su lado "
                                                           "(ARCHIVO.antes-de-restaurar-AAAAMMDD-HHMMSS); si la base no "
                                                           "existe, se crea. No cambia nada si la copia no es una base de "
                                                           "datos del módulo, si es de una versión del esquema más nueva "
                                                           "que la %1 de este programa o si la base sigue ocupada tras %2 "
                                                           "segundos; una copia de una versión anterior se restaura tal "
                                                           "cual y se pone al día después con qacsemaf migrate. Para "
                                                           "PostgreSQL, use pg_restore (vea el README)."))
                         .arg(appserver::SchemaVersion::current()).arg(kBusyWaitMs / 1000));
    line.add({
        {QStringLiteral("db"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Base de datos SQLite que se reemplaza (o se crea).")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("from"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Copia que se restaura.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "copia"))},
        {QStringLiteral("pg"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "No se usa: las bases PostgreSQL se restauran con pg_restore.")),
         QStringLiteral("conninfo")},
    });
    try {
        line.parse(arguments);
        if (line.isSet(QStringLiteral("pg")))
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "las bases PostgreSQL se restauran con pg_restore, con "
                                                                   "los pasos de \"Backups\" del README; no con restore")));
        line.require(QStringLiteral("db"));
        line.require(QStringLiteral("from"));
        line.requireExistingFile(QStringLiteral("from"));
        line.requireFolderOf(QStringLiteral("db"));
        if (QFileInfo(line.value(QStringLiteral("db"))).canonicalFilePath()
            == QFileInfo(line.value(QStringLiteral("from"))).canonicalFilePath())
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--from: es el mismo archivo que --db")));
    } catch (const UsageError &error) {
        return reportUsageError(error, arguments.value(0));
    }
    const QString target = line.value(QStringLiteral("db"));
    const QString copy = line.value(QStringLiteral("from"));
    int version = 0;
    if (const dbtools::DbOutcome checked = dbtools::SqliteBackup::checkCopy(copy, &version); !checked.ok())
        return reportFailure(checked.error);
    // Servers on the database answer "in maintenance" until the mark goes with the restore.
    appserver::MaintenanceMark mark;
    if (QFileInfo::exists(target)) {
        const QString connection = QStringLiteral("qacsemaf-restore");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            db.setDatabaseName(target);
            const QString error = mark.take(db);
            if (!error.isEmpty()) {
                db = {};
                QSqlDatabase::removeDatabase(connection);
                return reportFailure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo poner la base de datos en "
                                                                           "mantenimiento: %1"))
                                         .arg(error));
            }
        }
        QSqlDatabase::removeDatabase(connection);
    }
    dbtools::SqliteBackup::Restored restored;
    const dbtools::DbOutcome outcome = dbtools::SqliteBackup::restore(copy, target, kBusyWaitMs, &restored);
    mark.release();
    if (!outcome.ok())
        return reportFailure(outcome.error);
    QTextStream out(stdout);
    out << "qacsemaf: ";
    if (restored.kept.isEmpty())
        out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 creada desde %2 (versión %3 del esquema)."))
                   .arg(target, copy).arg(restored.version);
    else
        out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 restaurada desde %2 (versión %3 del esquema). Lo que tenía "
                                                     "antes quedó en %4."))
                   .arg(target, copy).arg(restored.version).arg(restored.kept);
    out << '\n';
    if (restored.version < appserver::SchemaVersion::current())
        QTextStream(stderr) << "qacsemaf: "
                            << cliText(QT_TRANSLATE_NOOP("qacsemaf", "aviso: %1"))
                                   .arg(appserver::SchemaVersion::refusal(target, restored.version))
                            << '\n';
    return 0;
}
