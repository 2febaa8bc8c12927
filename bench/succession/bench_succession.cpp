// Seeds the synthetic company (10,000 active contracts by default, as `qacsemaf seed --employees`
// makes it), takes its largest plan and times its succession map with every category ticked:
// through the local transport, the same nodes generated one by one as "Generación Semaforo" would
// for comparison, and through qacsemaf-server on loopback. Each figure is the best of three runs;
// the server's map must have the local map's rows. Then the map is kept as a snapshot three times
// and the first and last are compared, locally and through the server: the best save and compare
// (goal: each under 1 s); two snapshots of one map must compare with nobody moving.
//
// Usage: bench_succession [employees=10000] [--no-http]

#include "data/HeadlessWorkstation.h"
#include "data/SuccessionMap.h"
#include "data/SuccessionSnapshots.h"
#include "engine/TrafficLightGeneration.h"
#include "framework/Ugnnorma.h"
#include "tests/server/ServerProcess.h"
#include "tests/support/DemoDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

struct Timing {
    qint64 ms = -1;
    qint64 calls = 0;
    int nodes = 0;
    int rows = 0;
    QStringList rowTexts;   // every node's rows, to compare the roads
};

engine::SuccessionRequest everyCategory()
{
    engine::SuccessionRequest request;
    request.categories = {true, true, true, true};
    return request;
}

Timing mapOnce(int company, int plan)
{
    HeadlessWorkstation station;
    station.companies.Open();   // proves the session: the figure is the map's, not the login's
    SuccessionMap map(station.module);
    engine::SuccessionRequest request = everyCategory();
    request.eduSinPuntos = map.companyEduSinPuntos();
    const qint64 before = station.connection.roundTrips();
    QElapsedTimer timer;
    timer.start();
    const engine::SuccessionResult result = map.run(company, plan, request);
    Timing timing{timer.elapsed(), station.connection.roundTrips() - before, int(result.nodes.size()),
                  result.rowCount(), {}};
    for (const engine::NodeSuccession &node : result.nodes)
        for (const engine::SuccessionCandidate &row : node.rows)
            timing.rowTexts << QStringLiteral("%1|%2|%3").arg(node.node).arg(row.employee.codEmplText)
                                   .arg(row.score.percentage, 0, 'f', 2);
    return timing;
}

// The same nodes, each generated on its own as the window's button does.
Timing nodeByNodeOnce(int company, int plan)
{
    HeadlessWorkstation station;
    station.companies.Open();
    SuccessionMap map(station.module);
    const bool eduSinPuntos = map.companyEduSinPuntos();
    const engine::CareerPlanShape shape = map.readPlan(company, plan);
    const qint64 before = station.connection.roundTrips();
    QElapsedTimer timer;
    timer.start();
    Timing timing;
    for (const int node : shape.nodesWithCandidates()) {
        station.module.GenerarSemaforoCarrera(shape.inputs(node, everyCategory().categories, eduSinPuntos));
        timing.rows += station.module.CdsAcSemaf.RecordCount();
        ++timing.nodes;
    }
    timing.ms = timer.elapsed();
    timing.calls = station.connection.roundTrips() - before;
    return timing;
}

template <typename Run>
Timing bestOfThree(Run run)
{
    Timing best;
    for (int i = 0; i < 3; ++i) {
        const Timing timing = run();
        if (best.ms < 0 || timing.ms < best.ms)
            best = timing;
    }
    return best;
}

void print(const char *label, const Timing &timing, const QString &note = {})
{
    std::printf("%s: %d nodes, %d rows, %lld ms (%lld calls)%s\n", label, timing.nodes, timing.rows, timing.ms,
                timing.calls, qPrintable(note));
}

// The map through qacsemaf-server on loopback over the same file; 1 when it differs.
int overHttp(const QString &path, int company, int plan, const Timing &local)
{
    ServerProcess server;
    if (const QString error = server.start({QStringLiteral("--db"), path}); !error.isEmpty()) {
        std::fprintf(stderr, "qacsemaf-server: %s\n", qPrintable(error));
        return 1;
    }
    gStProtocolo = QStringLiteral("http");
    gStParSrv = server.address();
    gStAliasCnx.clear();
    const Timing http = bestOfThree([&] { return mapOnce(company, plan); });
    server.terminate();
    const bool same = http.rowTexts == local.rowTexts;
    print("succession-http", http,
          QStringLiteral(", %1x the local figure%2")
              .arg(double(http.ms) / qMax<qint64>(1, local.ms), 0, 'f', 2)
              .arg(same ? QString() : QStringLiteral(", ROWS DIFFER from the local map's")));
    return same ? 0 : 1;
}

// Saves the plan's map three times and compares the first and the last snapshot; 1 when the
// comparison shows a move between two snapshots of one map.
// `result` is the map computed on the local transport: what is timed is keeping and comparing it.
int snapshotsOnce(const char *label, int company, const engine::SuccessionResult &result)
{
    HeadlessWorkstation station;
    station.companies.Open();
    const engine::SuccessionRequest request = everyCategory();
    SuccessionSnapshots store(station.connection);
    qint64 save = -1, compare = -1, saveCalls = 0, compareCalls = 0;
    QVector<int> numbers;
    int lines = 0;
    for (int i = 0; i < 3; ++i) {
        const qint64 before = station.connection.roundTrips();
        QElapsedTimer timer;
        timer.start();
        const engine::SnapshotHeader header = store.save(result, request.categories, request.eduSinPuntos,
                                                         QStringLiteral("bench %1").arg(i + 1));
        const qint64 ms = timer.elapsed();
        if (save < 0 || ms < save)
            save = ms, saveCalls = station.connection.roundTrips() - before;
        numbers << header.number;
    }
    engine::SnapshotComparison comparison;
    for (int i = 0; i < 3; ++i) {
        const qint64 before = station.connection.roundTrips();
        QElapsedTimer timer;
        timer.start();
        comparison = store.compare(numbers.first(), numbers.last(), company);
        const qint64 ms = timer.elapsed();
        if (compare < 0 || ms < compare)
            compare = ms, compareCalls = station.connection.roundTrips() - before;
    }
    int moved = 0;
    for (const engine::PersonChange &person : comparison.people) {
        moved += person.move != engine::BandMove::Same || person.change() != 0;
        ++lines;
    }
    std::printf("%s: save %lld ms (%lld calls), compare %lld ms (%lld calls): %d nodes, %d people lines, "
                "%d people per snapshot%s\n",
                label, save, saveCalls, compare, compareCalls, int(comparison.nodes.size()), lines,
                comparison.to.people, moved ? ", PEOPLE MOVED between two snapshots of one map" : "");
    return moved ? 1 : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int employees = args.size() > 1 && args.at(1).toInt() > 0 ? args.at(1).toInt() : 10000;

    QElapsedTimer seedTimer;
    seedTimer.start();
    const DemoDatabase db(employees);
    if (!db.isValid()) {
        std::fprintf(stderr, "seed failed: %s\n", qPrintable(db.error()));
        return 1;
    }
    const QStringList largest = db.query(QStringLiteral(
        "select cod_empr, cod_menu, count(*) from ac_pprom where cod_empr > 0 group by cod_empr, cod_menu "
        "order by 3 desc, 1, 2 limit 1"));
    if (largest.size() != 1 || largest.first().startsWith(QLatin1String("ERROR"))) {
        std::fprintf(stderr, "no plan: %s\n", qPrintable(largest.join(QLatin1Char('\n'))));
        return 1;
    }
    const int company = largest.first().section(QLatin1Char('|'), 0, 0).toInt();
    const int plan = largest.first().section(QLatin1Char('|'), 1, 1).toInt();
    std::printf("company %d: %d active contracts, plan %d of %d rows (seeded in %lld ms)\n", company, employees, plan,
                largest.first().section(QLatin1Char('|'), 2, 2).toInt(), seedTimer.elapsed());

    db.startSession(company);
    const Timing local = bestOfThree([&] { return mapOnce(company, plan); });
    print("succession", local);
    const Timing nodeByNode = bestOfThree([&] { return nodeByNodeOnce(company, plan); });
    print("node by node", nodeByNode,
          QStringLiteral(", %1x the map's time").arg(double(nodeByNode.ms) / qMax<qint64>(1, local.ms), 0, 'f', 2));
    if (nodeByNode.rows != local.rows) {
        std::fprintf(stderr, "the node-by-node runs gave %d rows, the map %d\n", nodeByNode.rows, local.rows);
        return 1;
    }
    engine::SuccessionResult map;
    {
        HeadlessWorkstation station;
        station.companies.Open();
        map = SuccessionMap(station.module).run(company, plan, everyCategory());
    }
    if (snapshotsOnce("snapshot", company, map) != 0)
        return 1;
    if (args.contains(QLatin1String("--no-http")))
        return 0;
    ServerProcess server;
    if (const QString error = server.start({QStringLiteral("--db"), db.path()}); !error.isEmpty()) {
        std::fprintf(stderr, "qacsemaf-server: %s\n", qPrintable(error));
        return 1;
    }
    gStProtocolo = QStringLiteral("http");
    gStParSrv = server.address();
    gStAliasCnx.clear();
    const int outcome = snapshotsOnce("snapshot-http", company, map);
    server.terminate();
    if (outcome != 0)
        return outcome;
    return overHttp(db.path(), company, plan, local);
}
