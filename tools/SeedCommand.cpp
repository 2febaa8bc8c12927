#include "tools/SeedCommand.h"

#include "appserver/DatabaseDescription.h"
#include "tools/dbtools/DatabaseOpener.h"
#include "tools/dbtools/DemoSeeder.h"
#include "tools/dbtools/SchemaLoader.h"
#include "tools/dbtools/ServerAccess.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>

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

const QStringList kSqliteCompanions{QString(), QStringLiteral("-wal"), QStringLiteral("-shm")};

// Removes an SQLite file with its WAL companions; false when one of them stays.
bool removeSqliteFile(const QString &file)
{
    bool removed = true;
    for (const QString &suffix : kSqliteCompanions)
        if (QFile::exists(file + suffix))
            removed = QFile::remove(file + suffix) && removed;
    return removed;
}

// The file the seed is built in: beside the target, so that the final rename stays on one
// file system and replaces the target in one step.
QString buildFileFor(const QString &target)
{
    const QFileInfo info(target);
    return info.absoluteDir().filePath(QStringLiteral(".%1.seed-%2")
                                           .arg(info.fileName()).arg(QCoreApplication::applicationPid()));
}

DbOutcome checkTarget(const SeedOptions &options)
{
    if (QFile::exists(options.file) && !options.force)
        return DbOutcome::failure(QStringLiteral("%1 already exists; use --force to replace it")
                                      .arg(options.file));
    if (!QFileInfo(QFileInfo(options.file).absolutePath()).isDir())
        return DbOutcome::failure(QStringLiteral("The folder of %1 does not exist").arg(options.file));
    return DbOutcome::success();
}

// The finished build file takes the target's place; an old WAL beside the target would be
// replayed into the new file, so it goes first.
DbOutcome replaceTarget(const QString &built, const QString &target)
{
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")})
        if (QFile::exists(target + suffix) && !QFile::remove(target + suffix))
            return DbOutcome::failure(QStringLiteral("Cannot remove %1").arg(target + suffix));
    if (std::rename(QFile::encodeName(built).constData(), QFile::encodeName(target).constData()) != 0)
        return DbOutcome::failure(QStringLiteral("Cannot rename %1 to %2: %3")
                                      .arg(built, target, QString::fromLocal8Bit(std::strerror(errno))));
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

DbOutcome setJournalMode(const QSqlDatabase &db, const QString &mode)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=%1").arg(mode)) || !query.next())
        return DbOutcome::failure(QStringLiteral("Cannot set the seed file's journal mode to %1: %2")
                                      .arg(mode, query.lastError().text()));
    if (query.value(0).toString().toLower() != mode)
        return DbOutcome::failure(QStringLiteral("The seed file stays in journal mode %1 instead of %2")
                                      .arg(query.value(0).toString(), mode));
    return DbOutcome::success();
}

DbOutcome fill(QSqlDatabase &db, const SeedOptions &options, QMap<QString, int> *counts)
{
    const bool postgres = !options.connInfo.isEmpty();
    SchemaLoader loader(db);
    DemoSeeder seeder(db);
    if (postgres) {
        loader.joinTransaction();
        seeder.joinTransaction();
        if (const DbOutcome prepared = prepareSchema(loader, options.force); !prepared.ok())
            return prepared;
    }
    if (const DbOutcome created = loader.create(); !created.ok())
        return created;
    // The SQLite file is the seed's own, renamed over the target only when complete and removed
    // on failure, so its rows need no journal: without one they are written once, straight into
    // the file, instead of into the write-ahead log and copied from it at the close. The commit
    // still syncs the file before the rename; the file keeps WAL mode for its users.
    if (!postgres)
        if (const DbOutcome off = setJournalMode(db, QStringLiteral("off")); !off.ok())
            return off;
    DbOutcome seeded = options.employees > 0 ? seeder.seedSynthetic(options.employees)
                                             : seeder.seedDemo();
    *counts = seeder.rowCounts();
    if (!postgres && seeded.ok())
        seeded = setJournalMode(db, QStringLiteral("wal"));
    if (!seeded.ok() || !postgres)
        return seeded;
    // The reader logs in with its own password, or with the writer's when none is given.
    QMap<QString, QString> pairs;
    QString ignored;
    DatabaseOpener::parseConnInfo(options.connInfo, &pairs, &ignored);
    using appserver::DatabaseDescription;
    return ServerAccess::setUp(db, pairs.value(QStringLiteral("readuser"), DatabaseDescription::defaultReaderUser()),
                               pairs.value(QStringLiteral("readpassword"), pairs.value(QStringLiteral("password"))),
                               pairs.value(QStringLiteral("writerole"), DatabaseDescription::defaultWriterRole()));
}

// PostgreSQL: everything, the old tables' removal included, in one transaction.
DbOutcome seedPostgres(const SeedOptions &options, QMap<QString, int> *counts)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.transaction())
        return DbOutcome::failure(QStringLiteral("Cannot begin the seed transaction: %1")
                                      .arg(db.lastError().text()));
    DbOutcome outcome = fill(db, options, counts);
    if (outcome.ok() && !db.commit())
        outcome = DbOutcome::failure(QStringLiteral("Cannot commit the seed: %1").arg(db.lastError().text()));
    if (!outcome.ok())
        db.rollback();
    // The tables were filled in one go: a vacuum marks their pages all-visible, so that reads
    // through a covering index stay in the index, and no first reader has to mark each row it
    // meets as committed. It runs outside the seed's transaction, as it must.
    if (outcome.ok()) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("VACUUM")))
            outcome = DbOutcome::failure(QStringLiteral("The seed is committed, but VACUUM failed: %1")
                                             .arg(query.lastError().text()));
    }
    db.close();
    return outcome;
}

// SQLite: built in a file of its own and renamed over the target only when complete.
DbOutcome seedSqlite(const SeedOptions &options, QMap<QString, int> *counts)
{
    if (const DbOutcome target = checkTarget(options); !target.ok())
        return target;
    const QString built = buildFileFor(options.file);
    removeSqliteFile(built); // left by a run that was killed
    DbOutcome outcome = DatabaseOpener::openSqlite(built, connectionName);
    if (outcome.ok()) {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        outcome = fill(db, options, counts);
        db.close(); // the last connection folds the WAL into the file
    }
    QSqlDatabase::removeDatabase(connectionName);
    if (outcome.ok())
        outcome = replaceTarget(built, options.file);
    if (!outcome.ok())
        removeSqliteFile(built);
    return outcome;
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

    QElapsedTimer timer;
    timer.start();
    QMap<QString, int> counts;
    DbOutcome seeded;
    if (options.connInfo.isEmpty()) {
        seeded = seedSqlite(options, &counts);
    } else {
        seeded = DatabaseOpener::openPostgres(options.connInfo, connectionName);
        if (seeded.ok())
            seeded = seedPostgres(options, &counts);
    }
    if (!seeded.ok())
        return fail(seeded.error);
    for (const QString &notice : std::as_const(seeded.notices))
        QTextStream(stderr) << "qacsemaf seed: notice: " << notice << '\n';

    const QString target = options.connInfo.isEmpty() ? options.file : QStringLiteral("PostgreSQL database");
    QTextStream(stdout) << (options.employees > 0
                                ? QStringLiteral("Created a synthetic company with %1 employees in %2\n")
                                      .arg(options.employees).arg(target)
                                : QStringLiteral("Created the demo database in %1\n").arg(target));
    printCounts(counts, timer.elapsed());
    return 0;
}
