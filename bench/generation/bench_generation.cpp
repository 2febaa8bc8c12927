// Seeds a company of 10,000 active contracts in 20 candidate positions, a 40-row profile over
// every category and about 20 records per employee, then runs generation through the local
// transport with both arrangements and prints the figures. The step-by-step arrangement costs
// the same for every employee, so it runs on a sample of holders and is extrapolated.
//
// Usage: bench_generation [employees=10000] [positions=20] [--batched-only] [--http]
// --http also runs the batched generation through qacsemaf-server on loopback. When QACSEMAF_PG
// names a PostgreSQL database (its tables are replaced), the company is copied there and the
// batched generation runs on it too (pgsql protocol, and with --http through the server on it);
// the rows must be the file's, row for row.

#include "tests/server/ServerProcess.h"
#include "tests/data/support/CompanyBuilder.h"
#include "tests/data/support/GenerationHarness.h"
#include "tests/data/support/PostgresCompany.h"
#include "tools/dbtools/DatabaseOpener.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <QFile>
#include <QSqlQuery>

#include <functional>

#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QStringList kTypes{"FO", "PG", "CU", "SE", "EX", "CO", "CF", "CE"};

struct ProfileKey {
    QString type;
    int requirement;
    int detail;
};

QString positionCode(int index)
{
    return QStringLiteral("C%1").arg(index + 1, 2, 10, QLatin1Char('0'));
}

QList<ProfileKey> seedProfile(CompanyBuilder &db, QRandomGenerator &random)
{
    QList<ProfileKey> keys;
    for (const QString &type : kTypes)
        for (int i = 0; i < 5; ++i) {
            const ProfileKey key{type, 100 + 10 * i, 1 + i % 2};
            keys << key;
            db.profileRow(1, QStringLiteral("T0"), key.type, key.requirement, key.detail, 5 + int(random.bounded(20)));
        }
    return keys;
}

void seedEmployee(CompanyBuilder &db, QRandomGenerator &random, const QList<ProfileKey> &profile, int ordinal,
                  const QString &position)
{
    const double code = 10000000 + ordinal;
    db.employee(1, code, QStringLiteral("Apellido %1").arg(random.bounded(3000)), QStringLiteral("Nombre %1").arg(ordinal));
    db.contract(1, code, 1, position);
    const auto keyFrom = [&](const QStringList &types) {
        ProfileKey key = profile.at(int(random.bounded(profile.size())));
        if (!types.contains(key.type) || random.bounded(10) < 3)
            key = {types.at(int(random.bounded(types.size()))), 100 + 10 * int(random.bounded(8)), 1 + int(random.bounded(2))};
        return key;
    };
    const QList<QPair<QString, QStringList>> tables{{QStringLiteral("BI_DTPEF"), {"FO", "PG"}},
                                                    {QStringLiteral("BI_DTPNF"), {"CU", "SE"}},
                                                    {QStringLiteral("BI_DTPHV"), {"EX"}}};
    for (const auto &[table, types] : tables)
        for (int i = 0; i < 4; ++i) {
            const ProfileKey key = keyFrom(types);
            db.record(table, 1, code, key.type, key.requirement, key.detail, 1 + int(random.bounded(30)));
        }
    db.evaluation(1, code, ordinal + 1, QStringLiteral("2024-06-01"));
    for (int i = 0; i < 8; ++i) {
        const ProfileKey key = keyFrom({"CO", "CF", "CE"});
        db.evaluationLine(1, ordinal + 1, key.type, key.requirement, key.detail, 1 + int(random.bounded(20)));
    }
}

engine::GenerationInputs inputsFor(int positions)
{
    engine::GenerationInputs inputs;
    inputs.target = {QStringLiteral("T0"), 1};
    for (int i = 0; i < positions; ++i)
        inputs.candidates.append({positionCode(i), 1});
    inputs.categories = {true, true, true, true};
    return inputs;
}

struct Timing {
    qint64 ms = 0;
    qint64 calls = 0;
    int rows = 0;
    QStringList resultRows;   // the last run's, for the comparison between databases
    qint64 cpuMs = 0;   // this thread's processor time: what the run costs on a busy machine
    qint64 serverCpuMs = 0;
    qint64 databaseCpuMs = 0;   // the PostgreSQL sessions' that read for the run
};

// The server's processor time so far, from the kernel's accounting (0 where there is none).
qint64 processCpuMs(qint64 pid)
{
    if (pid <= 0)
        return 0;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0;
    const qint64 ticks = fields.at(11).toLongLong() + fields.at(12).toLongLong();
    return ticks * 1000 / sysconf(_SC_CLK_TCK);
}

qint64 threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// The processor time so far of the PostgreSQL sessions that read for the server core (found by
// their application name), where the database runs on this machine; 0 without QACSEMAF_PG.
qint64 readingSessionsCpuMs()
{
    const QString connInfo = qEnvironmentVariable("QACSEMAF_PG");
    if (connInfo.isEmpty())
        return 0;
    const QString name = QStringLiteral("bench-reading-sessions");
    if (!QSqlDatabase::contains(name) && !dbtools::DatabaseOpener::openPostgres(connInfo, name).ok())
        return 0;
    QSqlQuery query(QSqlDatabase::database(name, false));
    if (!query.exec(QStringLiteral("SELECT pid FROM pg_stat_activity WHERE application_name = 'qacsemaf-lectura'")))
        return 0;
    qint64 total = 0;
    while (query.next())
        total += processCpuMs(query.value(0).toLongLong());
    return total;
}

// The session the runs work in: the seeded file, then the ways to it the run compares.
Session benchSession;

Timing timeRun(const engine::GenerationInputs &inputs, Arrangement arrangement, qint64 serverPid = 0,
               const std::function<qint64()> &databaseCpu = {})
{
    GenerationHarness station(benchSession);
    // The main form lists the companies when it opens, which also proves the session: the
    // figure is the generation's, not the login's (a deliberately slow password hash).
    station.companies.Open();
    QElapsedTimer timer;
    timer.start();
    const qint64 cpuBefore = threadCpuMs();
    const qint64 serverBefore = processCpuMs(serverPid);
    const qint64 databaseBefore = databaseCpu ? databaseCpu() : 0;
    Timing timing;
    timing.calls = station.run(inputs, arrangement);
    timing.ms = timer.elapsed();
    timing.cpuMs = threadCpuMs() - cpuBefore;
    timing.serverCpuMs = processCpuMs(serverPid) - serverBefore;
    timing.databaseCpuMs = databaseCpu ? databaseCpu() - databaseBefore : 0;
    timing.rows = station.module.CdsAcSemaf.RecordCount();
    timing.resultRows = station.resultRows();
    return timing;
}

// The step-by-step arrangement on the first `sample` holders of the first position.
Timing literalSample(const engine::GenerationInputs &inputs, int sample)
{
    GenerationHarness station(benchSession);
    engine::CandidateEmployees holders = station.dataSets().reads->holders({{positionCode(0), 1}});
    holders.resize(qMin(sample, int(holders.size())));
    const auto scorer = LiteralScorer::factory()(station.dataSets(), inputs, engine::storedRounding(
        *engine::trafficLightTable().field(engine::resultfield::PorEmpl), TDtmAcSemaf::FormateadorSuite()));
    const qint64 before = station.connection.roundTrips();
    QElapsedTimer timer;
    timer.start();
    scorer->beginPosition({positionCode(0), 1}, holders);
    for (const engine::CandidateEmployee &employee : holders)
        scorer->score(employee);
    return {timer.elapsed(), station.connection.roundTrips() - before, int(holders.size()), {}};
}

// Each figure is its own best of three runs.
Timing bestBatched(int positions, qint64 serverPid = 0, const std::function<qint64()> &databaseCpu = {})
{
    Timing best;
    for (int i = 0; i < 3; ++i) {
        const Timing run = timeRun(inputsFor(positions), Arrangement::Batched, serverPid, databaseCpu);
        if (i == 0 || run.ms < best.ms)
            best = {run.ms, run.calls, run.rows, run.resultRows, best.cpuMs, best.serverCpuMs, best.databaseCpuMs};
        if (i == 0 || run.cpuMs < best.cpuMs)
            best.cpuMs = run.cpuMs;
        if (i == 0 || run.serverCpuMs < best.serverCpuMs)
            best.serverCpuMs = run.serverCpuMs;
        if (i == 0 || run.databaseCpuMs < best.databaseCpuMs)
            best.databaseCpuMs = run.databaseCpuMs;
    }
    return best;
}

// The same batched run with the workstation talking to qacsemaf-server on loopback; the server
// opens the database its arguments name ("--db" file or "--pg" conninfo).
int runOverHttp(const QStringList &database, int positions, const char *label, const QStringList &expected)
{
    ServerProcess server;
    if (const QString error = server.start(database); !error.isEmpty()) {
        std::fprintf(stderr, "qacsemaf-server: %s\n", qPrintable(error));
        return 1;
    }
    benchSession.protocol = QStringLiteral("http");
    benchSession.server = server.address();
    benchSession.alias.clear();
    const bool postgres = database.contains(QStringLiteral("--pg"));
    const Timing http = bestBatched(positions, server.pid(), postgres ? readingSessionsCpuMs : nullptr);
    server.terminate();
    const QString inDatabase = postgres ? QStringLiteral(", %1 ms in PostgreSQL").arg(http.databaseCpuMs) : QString();
    std::printf("%s: batched %lld ms %lld calls, %lld ms processor in the workstation, %lld ms in the server%s%s\n",
                label, http.ms, http.calls, http.cpuMs, http.serverCpuMs, qPrintable(inDatabase),
                http.resultRows == expected ? "" : " (ROWS DIFFER from the file's)");
    return http.resultRows == expected ? 0 : 1;
}

qint64 peakResidentMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// The company copied to PostgreSQL and generated there, directly and (with --http) through the
// server; 1 when it cannot be copied or its rows are not the file's.
int runOnPostgres(const QString &sqlitePath, const QString &connInfo, int positions, bool http,
                  const Timing &file)
{
    QElapsedTimer copyTimer;
    copyTimer.start();
    if (const QString error = PostgresCompany::copyFrom(sqlitePath, connInfo); !error.isEmpty()) {
        std::fprintf(stderr, "copy to PostgreSQL failed: %s\n", qPrintable(error));
        return 1;
    }
    const qint64 copyMs = copyTimer.elapsed();
    benchSession = PostgresCompany::session(connInfo, 1);
    const Timing pg = bestBatched(positions, 0, readingSessionsCpuMs);
    const bool same = pg.resultRows == file.resultRows;
    std::printf("generation-pg: batched %lld ms (best of 3), %lld calls, %lld ms processor, %lld ms in PostgreSQL, "
                "%.2fx the file's%s (copied in %lld ms)\n",
                pg.ms, pg.calls, pg.cpuMs, pg.databaseCpuMs, double(pg.ms) / qMax<qint64>(1, file.ms),
                same ? ", same rows" : ", ROWS DIFFER from the file's", copyMs);
    int failed = same ? 0 : 1;
    if (http)
        failed |= runOverHttp({QStringLiteral("--pg"), connInfo}, positions, "generation-http-pg", file.resultRows);
    return failed;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    // The counts are the leading numbers; the flags may stand anywhere.
    QList<int> counts;
    for (const QString &arg : args.mid(1)) {
        bool number = false;
        const int count = arg.toInt(&number);
        if (number && count > 0)
            counts << count;
        else if (!arg.startsWith(QLatin1String("--"))) {
            std::fprintf(stderr, "usage: bench_generation [employees] [positions] [--batched-only] [--http]\n");
            return 2;
        }
    }
    const int employees = counts.value(0, 10000);
    const int positions = counts.value(1, 20);

    QElapsedTimer seedTimer;
    seedTimer.start();
    CompanyBuilder db;
    QRandomGenerator random(20240601);
    db.company(1);
    db.position(1, QStringLiteral("T0"), QStringLiteral("Cargo objetivo"));
    const QList<ProfileKey> profile = seedProfile(db, random);
    for (int p = 0; p < positions; ++p)
        db.position(1, positionCode(p), QStringLiteral("Cargo candidato %1").arg(p + 1));
    for (int e = 0; e < employees; ++e)
        seedEmployee(db, random, profile, e, positionCode(e % positions));
    if (!db.commit()) {
        std::fprintf(stderr, "seed failed: %s\n", qPrintable(db.error()));
        return 1;
    }
    benchSession = db.session(1);
    std::printf("company: %d active contracts in %d positions, %d profile rows, 20 records per employee "
                "(seeded in %lld ms)\n", employees, positions, int(profile.size()), seedTimer.elapsed());

    const Timing batched = bestBatched(positions);
    std::printf("batched: %d rows, %lld ms (best of 3), %lld calls, %lld ms processor, %lld MB resident at most\n",
                batched.rows, batched.ms, batched.calls, batched.cpuMs, peakResidentMb());
    const bool http = args.contains(QLatin1String("--http"));
    int failed = 0;
    if (http)
        failed |= runOverHttp({QStringLiteral("--db"), db.path()}, positions, "generation-http", batched.resultRows);
    const QString pg = qEnvironmentVariable("QACSEMAF_PG");
    if (pg.isEmpty())
        std::printf("generation-pg: skipped (QACSEMAF_PG is not set)\n");
    else
        failed |= runOnPostgres(db.path(), pg, positions, http, batched);
    if (http || failed)
        return failed;

    if (args.contains(QLatin1String("--batched-only")))
        return 0;
    const int sampleSize = 25;
    const Timing sample = literalSample(inputsFor(positions), sampleSize);
    const double scale = double(batched.rows) / qMax(1, sample.rows);
    // Per position the run also lists the holders: one more call each.
    const Timing literal{qint64(sample.ms * scale), qint64(sample.calls * scale) + positions, batched.rows, {}};
    std::printf("literal: measured on %d of %d employees (%lld ms, %lld calls), extrapolated to all %d\n",
                sample.rows, batched.rows, sample.ms, sample.calls, batched.rows);

    std::printf("generation: literal %lld ms %lld calls, batched %lld ms %lld calls, speedup %.0f\n", literal.ms,
                literal.calls, batched.ms, batched.calls, double(literal.ms) / qMax<qint64>(1, batched.ms));
    return 0;
}
