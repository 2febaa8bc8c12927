#include "tools/SeedCommand.h"

#include "tools/SiteOptions.h"
#include "tools/dbtools/DatabaseOpener.h"
#include "tools/dbtools/DemoSeeder.h"
#include "tools/dbtools/SchemaLoader.h"
#include "tools/dbtools/SiteEngine.h"
#include "tools/CommandLine.h"

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
    QString readerPassword;   // PostgreSQL: readpassword= or --read-password-file
    int employees = 0;   // 0: the demo world
    bool force = false;
};


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


// The finished build file takes the target's place; an old WAL beside the target (left by a
// database of an older version) would be replayed into the new file, so it goes first.
DbOutcome replaceTarget(const QString &built, const QString &target)
{
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-shm")})
        if (QFile::exists(target + suffix) && !QFile::remove(target + suffix))
            return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede borrar %1")).arg(target + suffix));
    if (std::rename(QFile::encodeName(built).constData(), QFile::encodeName(target).constData()) != 0)
        return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede renombrar %1 como %2: %3"))
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
        return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "La base ya tiene %1 de las tablas (%2 ...); use --force para reemplazarlas"))
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
    out << "  " << cliText(QT_TRANSLATE_NOOP("qacsemaf", "total")).leftJustified(10) << QString::number(total).rightJustified(9)
        << "  " << cliText(QT_TRANSLATE_NOOP("qacsemaf", "filas en")) << ' ' << QString::number(elapsedMs / 1000.0, 'f', 2) << " s\n";
}

DbOutcome setJournalMode(const QSqlDatabase &db, const QString &mode)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=%1").arg(mode)) || !query.next())
        return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede poner el diario del archivo en modo %1: %2"))
                                      .arg(mode, query.lastError().text()));
    if (query.value(0).toString().toLower() != mode)
        return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "El diario del archivo sigue en modo %1 en lugar de %2"))
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
    // still syncs the file before the rename; the file then keeps the rollback journal for its
    // users, so that reading it leaves nothing beside it.
    if (!postgres)
        if (const DbOutcome off = setJournalMode(db, QStringLiteral("off")); !off.ok())
            return off;
    DbOutcome seeded = options.employees > 0 ? seeder.seedSynthetic(options.employees)
                                             : seeder.seedDemo();
    *counts = seeder.rowCounts();
    if (!postgres && seeded.ok())
        seeded = setJournalMode(db, QStringLiteral("delete"));
    if (!seeded.ok())
        return seeded;
    // The reader logs in with its own password, never with the writer's.
    return SiteEngine::of(db).setUpAccess(db, options.connInfo, options.readerPassword);
}

// PostgreSQL: everything, the old tables' removal included, in one transaction.
DbOutcome seedPostgres(const SeedOptions &options, QMap<QString, int> *counts)
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.transaction())
        return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede iniciar la transacción: %1"))
                                      .arg(db.lastError().text()));
    DbOutcome outcome = fill(db, options, counts);
    if (outcome.ok() && !db.commit())
        outcome = DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede confirmar la transacción: %1")).arg(db.lastError().text()));
    if (!outcome.ok())
        db.rollback();
    // The tables were filled in one go: a vacuum marks their pages all-visible, so that reads
    // through a covering index stay in the index, and no first reader has to mark each row it
    // meets as committed. It runs outside the seed's transaction, as it must, on the module's
    // tables only: a database-wide one would warn about every system table the owner may not
    // vacuum.
    if (outcome.ok()) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("VACUUM (ANALYZE) %1").arg(SchemaLoader::tableNames().join(QStringLiteral(", ")))))
            outcome = DbOutcome::failure(QStringLiteral("The seed is committed, but VACUUM failed: %1")
                                             .arg(query.lastError().text()));
    }
    db.close();
    return outcome;
}

// SQLite: built in a file of its own and renamed over the target only when complete.
DbOutcome seedSqlite(const SeedOptions &options, QMap<QString, int> *counts)
{
    const QString built = buildFileFor(options.file);
    removeSqliteFile(built); // left by a run that was killed
    DbOutcome outcome = DatabaseOpener::openSqlite(built, connectionName);
    if (outcome.ok()) {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        outcome = fill(db, options, counts);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
    if (outcome.ok())
        outcome = replaceTarget(built, options.file);
    if (!outcome.ok())
        removeSqliteFile(built);
    return outcome;
}

// Every argument, the target file's folder and an existing file included, before anything is
// opened; throws UsageError.
SeedOptions readSeedOptions(const QStringList &arguments, CommandLine &line)
{
    line.add({
        {QStringLiteral("db"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Archivo SQLite que se crea.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("pg"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Base PostgreSQL que se llena en su lugar, como "
                                               "\"host=... dbname=... user=... password=...\".")),
         QStringLiteral("conninfo")},
        {QStringLiteral("employees"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Crea una empresa sintética con N contratos activos.")),
         QStringLiteral("N")},
        {QStringLiteral("force"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Reemplaza un archivo o unas tablas que ya existen."))},
    });
    SiteOptions::addReadPasswordTo(line);
    line.parse(arguments);
    SeedOptions options;
    options.file = line.value(QStringLiteral("db"));
    options.connInfo = line.value(QStringLiteral("pg"));
    options.force = line.isSet(QStringLiteral("force"));
    line.refuseTogether(QStringLiteral("db"), QStringLiteral("pg"));
    if (options.file.isEmpty() && options.connInfo.isEmpty())
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "dé --db ARCHIVO o --pg CONNINFO")));
    if (!options.connInfo.isEmpty()) {
        QMap<QString, QString> pairs;
        QString error;
        if (!DatabaseOpener::parseConnInfo(options.connInfo, &pairs, &error))
            throw UsageError(QStringLiteral("--pg: %1").arg(error));
    }
    SiteOptions place;
    place.connInfo = options.connInfo;
    place.readReaderPassword(line);
    options.readerPassword = place.readerPassword;
    if (line.isSet(QStringLiteral("employees")))
        options.employees = line.number(QStringLiteral("employees"), 1);
    if (!options.file.isEmpty()) {
        line.requireFolderOf(QStringLiteral("db"));
        if (QFile::exists(options.file) && !options.force)
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 ya existe; use --force para reemplazarlo"))
                                 .arg(options.file));
    }
    return options;
}

} // namespace

int runSeedCommand(const QStringList &arguments)
{
    CommandLine line(arguments.value(0),
                     cliText(QT_TRANSLATE_NOOP("qacsemaf", "Crea el esquema y lo llena con los datos de demostración (tres "
                                                           "empresas, planes de carrera y sus empleados) o, con "
                                                           "--employees, con una empresa sintética grande.")));
    SeedOptions options;
    try {
        options = readSeedOptions(arguments, line);
    } catch (const UsageError &error) {
        return reportUsageError(error, arguments.value(0));
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
        return reportFailure(seeded.error);
    for (const QString &notice : std::as_const(seeded.notices))
        QTextStream(stderr) << "qacsemaf: " << cliText(QT_TRANSLATE_NOOP("qacsemaf", "aviso: %1")).arg(notice) << '\n';

    const QString target =
        options.connInfo.isEmpty() ? options.file : cliText(QT_TRANSLATE_NOOP("qacsemaf", "la base PostgreSQL"));
    QTextStream(stdout) << "qacsemaf: "
                        << (options.employees > 0
                                ? cliText(QT_TRANSLATE_NOOP("qacsemaf", "empresa sintética con %1 empleados creada en %2"))
                                      .arg(options.employees).arg(target)
                                : cliText(QT_TRANSLATE_NOOP("qacsemaf", "base de demostración creada en %1")).arg(target))
                        << '\n';
    printCounts(counts, timer.elapsed());
    return 0;
}
