#include "tools/BackupCommand.h"

#include "tools/SiteOptions.h"
#include "tools/dbtools/SqliteBackup.h"

#include <QTextStream>

int runBackupCommand(const QStringList &arguments)
{
    SiteOptions options(QStringLiteral("qacsemaf backup --db ARCHIVO --out COPIA"),
                        QStringLiteral("Copia una base de datos SQLite mientras otros la usan, tal como estaba en un "
                                       "momento. La copia no reemplaza un archivo que exista. Para PostgreSQL, use "
                                       "pg_dump."));
    options.parser().addOptions({
        {QStringLiteral("db"), QStringLiteral("Base de datos SQLite que se copia."), QStringLiteral("ARCHIVO")},
        {QStringLiteral("pg"), QStringLiteral("No se usa: las bases PostgreSQL se copian con pg_dump."), QStringLiteral("CONNINFO")},
        {QStringLiteral("out"), QStringLiteral("Archivo nuevo de la copia."), QStringLiteral("COPIA")},
    });
    try {
        if (!options.parse(arguments))
            return 0;
        if (options.parser().isSet(QStringLiteral("pg")))
            throw UsageError(QStringLiteral("las bases PostgreSQL se copian con pg_dump (vea el README), no con backup"));
        if (options.file().isEmpty())
            throw UsageError(QStringLiteral("indique la base de datos con --db ARCHIVO"));
        if (options.parser().value(QStringLiteral("out")).isEmpty())
            throw UsageError(QStringLiteral("indique el archivo de la copia con --out COPIA"));
    } catch (const UsageError &error) {
        return options.refuse(error);
    }
    const QString target = options.parser().value(QStringLiteral("out"));
    int pages = 0;
    const dbtools::DbOutcome copied = dbtools::SqliteBackup::copy(options.file(), target, &pages);
    if (!copied.ok())
        return SiteOptions::fail(copied.error);
    QTextStream(stdout) << QStringLiteral("Copia de %1 guardada en %2 (%3 páginas).\n").arg(options.file(), target).arg(pages);
    return 0;
}
