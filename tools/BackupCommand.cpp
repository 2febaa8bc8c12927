#include "tools/BackupCommand.h"

#include "tools/CommandLine.h"
#include "tools/dbtools/SqliteBackup.h"

#include <QTextStream>

int runBackupCommand(const QStringList &arguments)
{
    CommandLine line(arguments.value(0),
                     cliText(QT_TRANSLATE_NOOP("qacsemaf", "Copia una base de datos SQLite mientras otros la usan, tal "
                                                           "como estaba en un momento. La copia no reemplaza un archivo "
                                                           "que exista. Para PostgreSQL, use pg_dump.")));
    line.add({
        {QStringLiteral("db"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Base de datos SQLite que se copia.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("pg"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "No se usa: las bases PostgreSQL se copian con pg_dump.")),
         QStringLiteral("conninfo")},
        {QStringLiteral("out"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Archivo nuevo de la copia.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "copia"))},
    });
    try {
        line.parse(arguments);
        if (line.isSet(QStringLiteral("pg")))
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "las bases PostgreSQL se copian con pg_dump (vea el "
                                                                   "README), no con backup")));
        line.require(QStringLiteral("db"));
        line.require(QStringLiteral("out"));
        line.requireExistingFile(QStringLiteral("db"));
        line.requireNewFile(QStringLiteral("out"));
    } catch (const UsageError &error) {
        return reportUsageError(error, arguments.value(0));
    }
    const QString source = line.value(QStringLiteral("db"));
    const QString target = line.value(QStringLiteral("out"));
    int pages = 0;
    const dbtools::DbOutcome copied = dbtools::SqliteBackup::copy(source, target, &pages);
    if (!copied.ok())
        return reportFailure(copied.error);
    QTextStream(stdout) << "qacsemaf: " << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Copia de %1 guardada en %2 (%3 páginas)."))
                               .arg(source, target).arg(pages)
                        << '\n';
    return 0;
}
