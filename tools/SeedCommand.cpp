#include "SeedCommand.h"

#include "DatabaseOpener.h"
#include "DemoSeeder.h"
#include "SchemaLoader.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QTextStream>

using namespace dbtools;

namespace {

const QString connectionName = QStringLiteral("qacsemaf-seed");

struct SeedOptions {
    QString file;
    QString connInfo;
    int employees = 0;   // 0: the demo world
    bool force = false;
};

int fail(const QString &message)
{
    QTextStream(stderr) << "qacsemaf seed: " << message << '\n';
    return 1;
}

// Removes an SQLite file with its WAL companions, or refuses without --force.
DbOutcome prepareFile(const SeedOptions &options)
{
    if (!QFile::exists(options.file))
        return DbOutcome::success();
    if (!options.force)
        return DbOutcome::failure(QStringLiteral("%1 already exists; use --force to replace it")
                                      .arg(options.file));
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        const QString path = options.file + suffix;
        if (QFile::exists(path) && !QFile::remove(path))
            return DbOutcome::failure(QStringLiteral("Cannot remove %1").arg(path));
    }
    return DbOutcome::success();
}

// On PostgreSQL the tables of an earlier seed are dropped with --force, else refused.
DbOutcome prepareSchema(SchemaLoader &loader, bool force)
{
    const QStringList existing = loader.existingTables();
    if (existing.isEmpty())
        return DbOutcome::success();
    if (!force)
        return DbOutcome::failure(QStringLiteral("The database already has %1 of the tables (%2 ...);"
                                                 " use --force to replace them")
                                      .arg(existing.size()).arg(existing.first()));
    return loader.dropAll();
}

void printCounts(const QMap<QString, int> &counts, qint64 elapsedMs)
{
    QTextStream out(stdout);
    int total = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        out << "  " << it.key().leftJustified(10) << QString::number(it.value()).rightJustified(9) << '\n';
        total += it.value();
    }
    out << "  " << QStringLiteral("total").leftJustified(10) << QString::number(total).rightJustified(9)
        << "  rows in " << QString::number(elapsedMs / 1000.0, 'f', 2) << " s\n";
}

DbOutcome seed(const SeedOptions &options, QMap<QString, int> *counts)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    SchemaLoader loader(db);
    if (!options.connInfo.isEmpty()) {
        if (const DbOutcome prepared = prepareSchema(loader, options.force); !prepared.ok())
            return prepared;
    }
    if (const DbOutcome created = loader.create(); !created.ok())
        return created;
    DemoSeeder seeder(db);
    const DbOutcome seeded = options.employees > 0 ? seeder.seedSynthetic(options.employees)
                                                   : seeder.seedDemo();
    *counts = seeder.rowCounts();
    return seeded;
}

} // namespace

int runSeedCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Creates the schema and fills it with the demo data (three companies, career plans and "
        "their employees) or, with --employees, with one large synthetic company."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("db"), QStringLiteral("SQLite database file to create."), QStringLiteral("file")},
        {QStringLiteral("pg"), QStringLiteral("PostgreSQL database to fill instead, as "
                                              "\"host=... dbname=... user=... password=...\"."),
         QStringLiteral("conninfo")},
        {QStringLiteral("employees"), QStringLiteral("Make a synthetic company with N active contracts."),
         QStringLiteral("N")},
        {QStringLiteral("force"), QStringLiteral("Replace an existing file or existing tables.")},
    });
    parser.process(arguments);

    SeedOptions options;
    options.file = parser.value(QStringLiteral("db"));
    options.connInfo = parser.value(QStringLiteral("pg"));
    options.force = parser.isSet(QStringLiteral("force"));
    if (options.file.isEmpty() == options.connInfo.isEmpty())
        return fail(QStringLiteral("give exactly one of --db FILE or --pg CONNINFO"));
    if (parser.isSet(QStringLiteral("employees"))) {
        bool ok = false;
        options.employees = parser.value(QStringLiteral("employees")).toInt(&ok);
        if (!ok || options.employees < 1)
            return fail(QStringLiteral("--employees needs a whole number above 0"));
    }

    DbOutcome opened;
    if (options.connInfo.isEmpty()) {
        if (const DbOutcome prepared = prepareFile(options); !prepared.ok())
            return fail(prepared.error);
        opened = DatabaseOpener::openSqlite(options.file, connectionName);
    } else {
        opened = DatabaseOpener::openPostgres(options.connInfo, connectionName);
    }
    if (!opened.ok())
        return fail(opened.error);

    QElapsedTimer timer;
    timer.start();
    QMap<QString, int> counts;
    const DbOutcome seeded = seed(options, &counts);
    QSqlDatabase::database(connectionName, false).close();
    if (!seeded.ok())
        return fail(seeded.error);

    const QString target = options.connInfo.isEmpty() ? options.file : QStringLiteral("PostgreSQL database");
    QTextStream(stdout) << (options.employees > 0
                                ? QStringLiteral("Created a synthetic company with %1 employees in %2\n")
                                      .arg(options.employees).arg(target)
                                : QStringLiteral("Created the demo database in %1\n").arg(target));
    printCounts(counts, timer.elapsed());
    return 0;
}
