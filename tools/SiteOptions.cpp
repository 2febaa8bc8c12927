#include "tools/SiteOptions.h"

#include "tools/CommandLine.h"
#include "tools/PasswordPrompt.h"
#include "tools/dbtools/DatabaseOpener.h"

#include <QMap>

void SiteOptions::addPlaceTo(CommandLine &line)
{
    line.add({
        {QStringLiteral("db"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Base de datos SQLite (un archivo).")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("pg"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Base de datos PostgreSQL, en lugar de --db: \"host=... port=... "
                                               "dbname=... user=... password=...\" y, si hacen falta, readuser=, "
                                               "readpassword=, writerole=, statement_timeout=, lock_timeout=.")),
         QStringLiteral("conninfo")},
    });
}

void SiteOptions::addReadPasswordTo(CommandLine &line)
{
    line.add({{QStringLiteral("read-password-file"),
               cliText(QT_TRANSLATE_NOOP("qacsemaf", "Con --pg: archivo cuya primera línea es la contraseña del "
                                                     "usuario de lectura (si el conninfo no trae readpassword=).")),
               cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))}});
}

SiteOptions SiteOptions::read(const CommandLine &line, File rule)
{
    line.refuseTogether(QStringLiteral("db"), QStringLiteral("pg"));
    SiteOptions options;
    options.file = line.value(QStringLiteral("db"));
    options.connInfo = line.value(QStringLiteral("pg"));
    if (!line.isSet(QStringLiteral("db")) && !line.isSet(QStringLiteral("pg")))
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "dé --db ARCHIVO o --pg CONNINFO")));
    if (line.isSet(QStringLiteral("db"))) {
        if (options.file.trimmed().isEmpty())
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--db necesita el nombre de un archivo")));
        if (rule == File::MustExist)
            line.requireExistingFile(QStringLiteral("db"));
        else
            line.requireFolderOf(QStringLiteral("db"));
        return options;
    }
    QMap<QString, QString> pairs;
    QString error;
    if (!dbtools::DatabaseOpener::parseConnInfo(options.connInfo, &pairs, &error))
        throw UsageError(QStringLiteral("--pg: %1").arg(error));
    if (pairs.value(QStringLiteral("dbname")).isEmpty())
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--pg debe indicar dbname=")));
    for (const QString &key : {QStringLiteral("port"), QStringLiteral("statement_timeout"), QStringLiteral("lock_timeout")}) {
        bool number = false;
        if (pairs.contains(key) && (pairs.value(key).toInt(&number) < 0 || !number))
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--pg: %1= necesita un número entero, no \"%2\""))
                                 .arg(key, pairs.value(key)));
    }
    return options;
}

void SiteOptions::readReaderPassword(const CommandLine &line)
{
    line.refuseTogether(QStringLiteral("db"), QStringLiteral("read-password-file"));
    QMap<QString, QString> pairs;
    QString error;
    dbtools::DatabaseOpener::parseConnInfo(connInfo, &pairs, &error);
    readerPassword = pairs.value(QStringLiteral("readpassword"));
    if (!readerPassword.isEmpty() || !line.isSet(QStringLiteral("read-password-file")))
        return;
    readerPassword = passwordFromFile(line.value(QStringLiteral("read-password-file")), &error);
    if (!error.isEmpty())
        throw UsageError(QStringLiteral("--read-password-file: %1").arg(error));
}

QString SiteOptions::passwordFromFile(const QString &path, QString *error)
{
    return PasswordPrompt::fromFile(path, error);
}
