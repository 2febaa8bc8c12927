// Seeds the synthetic company of N employees (10,000 by default) the way `qacsemaf seed` does:
// schema and rows in one transaction, on PostgreSQL (conninfo from --pg or QACSEMAF_PG; its tables
// are replaced) and on an SQLite file. For each it prints the wall time and this process's CPU
// time (making, encoding and sending the rows); the rest is time spent waiting for the database.
// Usage: bench_seed [employees=10000] [--pg "conninfo"] [--no-sqlite]

#include "tools/dbtools/DatabaseOpener.h"
#include "tools/dbtools/DemoSeeder.h"
#include "tools/dbtools/SchemaLoader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using namespace dbtools;

namespace {

qint64 cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

struct Phases {
    qint64 schema = 0, rows = 0, commit = 0;
};

DbOutcome seedInOneTransaction(QSqlDatabase &db, int employees, int *rows, Phases *phases)
{
    QElapsedTimer phase;
    phase.start();
    SchemaLoader loader(db);
    DemoSeeder seeder(db);
    const bool postgres = db.driverName() == QLatin1String("QPSQL");
    if (postgres) {
        if (!db.transaction())
            return DbOutcome::failure(db.lastError().text());
        loader.joinTransaction();
        seeder.joinTransaction();
    }
    DbOutcome outcome = postgres ? loader.dropAll() : DbOutcome::success();
    if (outcome.ok())
        outcome = loader.create();
    phases->schema = phase.restart();
    if (outcome.ok())
        outcome = seeder.seedSynthetic(employees);
    phases->rows = phase.restart();
    if (postgres) {
        if (outcome.ok() && !db.commit())
            outcome = DbOutcome::failure(db.lastError().text());
        if (!outcome.ok())
            db.rollback();
    }
    phases->commit = phase.elapsed();
    *rows = 0;
    for (const int count : seeder.rowCounts())
        *rows += count;
    return outcome;
}

bool run(const char *label, const QString &connection, int employees)
{
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    QElapsedTimer wall;
    wall.start();
    const qint64 cpuBefore = cpuMs();
    int rows = 0;
    Phases phases;
    const DbOutcome outcome = seedInOneTransaction(db, employees, &rows, &phases);
    const qint64 ms = wall.elapsed();
    const qint64 cpu = cpuMs() - cpuBefore;
    db.close();
    if (!outcome.ok()) {
        std::fprintf(stderr, "%s: %s\n", label, qPrintable(outcome.error));
        return false;
    }
    std::printf("%s: %d employees, %d rows in %lld ms (client cpu %lld ms, "
                "waiting for the database %lld ms; schema %lld ms, rows %lld ms, commit %lld ms)\n",
                label, employees, rows, ms, cpu, qMax<qint64>(0, ms - cpu), phases.schema, phases.rows,
                phases.commit);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString pg = qEnvironmentVariable("QACSEMAF_PG");
    if (const int at = int(args.indexOf(QStringLiteral("--pg"))); at >= 0 && at + 1 < args.size()) {
        pg = args.at(at + 1);
        args.remove(at, 2);
    }
    const bool sqlite = !args.removeAll(QStringLiteral("--no-sqlite"));
    const int employees = args.isEmpty() ? 10000 : args.first().toInt();
    bool ok = true;
    if (sqlite) {
        QTemporaryDir dir;
        ok = DatabaseOpener::openSqlite(dir.filePath(QStringLiteral("seed.db")), QStringLiteral("sqlite")).ok()
             && run("seed-sqlite", QStringLiteral("sqlite"), employees);
    }
    if (pg.isEmpty()) {
        std::printf("seed-pg: skipped (no --pg and no QACSEMAF_PG)\n");
    } else {
        const DbOutcome opened = DatabaseOpener::openPostgres(pg, QStringLiteral("pg"));
        if (!opened.ok())
            std::fprintf(stderr, "seed-pg: %s\n", qPrintable(opened.error));
        ok = opened.ok() && run("seed-pg", QStringLiteral("pg"), employees) && ok;
    }
    return ok ? 0 : 1;
}
