// Seeds the synthetic company (10,000 active contracts by default, as `qacsemaf seed --employees`
// makes it), takes its largest plan and times its succession map with every category ticked:
// through the local transport, the same nodes generated one by one as "Generación Semaforo" would
// for comparison, and through qacsemaf-server on loopback. Each figure is the best of three runs;
// the server's map must have the local map's rows. Then the map is kept as a snapshot three times
// and the first and last are compared, locally and through the server: the best save and compare
// (goal: each under 1 s); two snapshots of one map must compare with nobody moving.
//
// The seeded plan is flat (one node scores everyone). A career plan as a company draws it has
// many nodes, each with a few feeding positions that often feed several nodes: the program adds
// one to the company (addCareerPlan) and times it whole against node by node (`succession-plan: ...`, goal: at least 3x faster);
// the two roads must give every node the same rows.
//
// Usage: bench_succession [employees=10000] [--no-http]

#include "data/HeadlessWorkstation.h"
#include "data/SuccessionMap.h"
#include "data/SuccessionSnapshots.h"
#include "engine/TrafficLightGeneration.h"
#include "framework/dataset/FieldConvert.h"
#include "framework/dataset/TField.h"
#include "tests/server/ServerProcess.h"
#include "tests/support/DemoDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMap>

#include <cstdio>
#include <ctime>

namespace {

struct Timing {
    qint64 ms = -1;
    qint64 cpuMs = -1;   // processor time of the workstation
    qint64 calls = 0;
    int nodes = 0;
    int rows = 0;
    QStringList rowTexts;   // every node's rows, to compare the roads
};

qint64 cpuNow()
{
    return qint64(std::clock()) * 1000 / CLOCKS_PER_SEC;
}

QString rowText(int node, const QString &employee, double percentage)
{
    return QStringLiteral("%1|%2|%3").arg(node).arg(employee).arg(percentage, 0, 'f', 2);
}

engine::SuccessionRequest everyCategory()
{
    engine::SuccessionRequest request;
    request.categories = {true, true, true, true};
    return request;
}

// The session the runs work in: the seeded file, then the server on loopback over it.
Session benchSession;

Timing mapOnce(int company, int plan)
{
    HeadlessWorkstation station(benchSession);
    station.companies.Open();   // proves the session: the figure is the map's, not the login's
    SuccessionMap map(station.module);
    engine::SuccessionRequest request = everyCategory();
    request.eduSinPuntos = map.companyEduSinPuntos();
    const qint64 before = station.connection.roundTrips();
    const qint64 cpu = cpuNow();
    QElapsedTimer timer;
    timer.start();
    const engine::SuccessionResult result = map.run(company, plan, request);
    Timing timing{timer.elapsed(), cpuNow() - cpu, station.connection.roundTrips() - before,
                  int(result.nodes.size()), result.rowCount(), {}};
    for (const engine::NodeSuccession &node : result.nodes)
        for (const engine::SuccessionCandidate &row : node.rows)
            timing.rowTexts << rowText(node.node, row.employee.codEmplText, row.score.percentage);
    return timing;
}

// The same nodes, each generated on its own as the window's button does.
Timing nodeByNodeOnce(int company, int plan)
{
    HeadlessWorkstation station(benchSession);
    station.companies.Open();
    SuccessionMap map(station.module);
    const bool eduSinPuntos = map.companyEduSinPuntos();
    const engine::CareerPlanShape shape = map.readPlan(company, plan);
    const qint64 before = station.connection.roundTrips();
    Timing timing;
    timing.cpuMs = 0;
    // The nodes' times add up in nanoseconds: whole milliseconds, each rounded down, would leave
    // out about half a millisecond a node.
    qint64 nanoseconds = 0;
    TDataSet &rows = station.module.CdsAcSemaf;
    for (const int node : shape.nodesWithCandidates()) {
        const qint64 cpu = cpuNow();
        QElapsedTimer timer;
        timer.start();
        station.module.GenerarSemaforoCarrera(shape.inputs(node, everyCategory().categories, eduSinPuntos));
        nanoseconds += timer.nsecsElapsed();
        timing.cpuMs += cpuNow() - cpu;
        timing.rows += rows.RecordCount();
        ++timing.nodes;
        // Outside the figure: the rows, to compare with the map's (read without moving the
        // cursor, which would read each row's positions from the server).
        TField *code = rows.FieldByName(QStringLiteral("COD_EMPL"));
        TField *percentage = rows.FieldByName(QStringLiteral("POR_EMPL"));
        for (int row = 0; row < rows.rowCount(); ++row)
            timing.rowTexts << rowText(node, fieldconv::toText(rows.rowValue(row, code)),
                                       rows.rowValue(row, percentage).toDouble());
    }
    timing.ms = nanoseconds / 1000000;
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
    std::printf("%s: %d nodes, %d rows, %lld ms (%lld calls, %lld ms processor)%s\n", label, timing.nodes,
                timing.rows, timing.ms, timing.calls, timing.cpuMs, qPrintable(note));
}

// The map through qacsemaf-server on loopback over the same file; 1 when it differs.
int overHttp(const QString &path, int company, int plan, const Timing &local)
{
    ServerProcess server;
    if (const QString error = server.start({QStringLiteral("--db"), path}); !error.isEmpty()) {
        std::fprintf(stderr, "qacsemaf-server: %s\n", qPrintable(error));
        return 1;
    }
    benchSession.protocol = QStringLiteral("http");
    benchSession.server = server.address();
    benchSession.alias.clear();
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
    HeadlessWorkstation station(benchSession);
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

// Adds plan `plan` to `company` as a company draws a career plan by areas: the top position,
// under it every second-level position, under each of those every third-level position of its
// area (anyone of the level below may succeed any head of the level above), and under the
// third-level nodes of each area's first head the area's fourth-level positions. A candidate
// position so stands under several nodes, as in the plans the map is for. Returns an error text,
// or nothing.
QString addCareerPlan(const DemoDatabase &db, int company, int plan)
{
    const QStringList positions = db.query(
        QStringLiteral("select cod_carg, nom_carg, cod_nive from bi_cargo where cod_empr = %1 order by cod_carg").arg(company));
    if (positions.size() < 8 || positions.first().startsWith(QLatin1String("ERROR")))
        return positions.join(QLatin1Char('\n'));
    // area -> level -> positions; the seed names a position "<level> de <area> <number>".
    QMap<QString, QMap<QString, QStringList>> byArea;
    QString top;
    for (const QString &row : positions) {
        const QStringList cells = row.split(QLatin1Char('|'));
        if (cells.at(2) == QLatin1String("01")) {
            top = cells.at(0);
            continue;
        }
        const QString area = cells.at(1).section(QStringLiteral(" de "), -1).section(QLatin1Char(' '), 0, -2);
        byArea[area][cells.at(2)] << cells.at(0);
    }
    QStringList rows{QStringLiteral("(%1, %2, 0, null, 'P', 'Plan por areas', null, null, 'ADMIN', "
                                    "'2024-01-01 00:00:00', null, 'A', %1)").arg(company).arg(plan)};
    int nodes = 0;
    const auto add = [&](int parent, const QString &position) {
        rows << QStringLiteral("(%1, %2, %3, %4, 'C', '%5', '2', '0', 'ADMIN', '2024-01-01 00:00:00', '%5', 'A', %1)")
                    .arg(company).arg(plan).arg(++nodes).arg(parent).arg(position);
        return nodes;
    };
    const int head = add(0, top);
    for (const QMap<QString, QStringList> &levels : std::as_const(byArea)) {
        bool first = true;
        for (const QString &second : levels.value(QStringLiteral("02"))) {
            const int secondNode = add(head, second);
            for (const QString &third : levels.value(QStringLiteral("03"))) {
                const int thirdNode = add(secondNode, third);
                if (first)
                    for (const QString &fourth : levels.value(QStringLiteral("04")))
                        add(thirdNode, fourth);
            }
            first = false;
        }
    }
    const QStringList done = db.query(
        QStringLiteral("insert into ac_pprom (cod_empr, cod_menu, cod_nodo, cod_nodp, tip_menu, nom_menu, num_anos, "
                       "num_dias, act_usua, act_hora, cod_carg, act_esta, cod_emca) values ")
        + rows.join(QStringLiteral(", ")));
    return done.isEmpty() ? QString() : done.join(QLatin1Char('\n'));
}

// The career plan of many nodes, whole and node by node; 1 when their rows differ.
int manyNodes(const DemoDatabase &db, int company)
{
    const int plan = db.query(QStringLiteral("select max(cod_menu) + 1 from ac_pprom where cod_empr = %1").arg(company))
                         .value(0).toInt();
    if (const QString error = addCareerPlan(db, company, plan); !error.isEmpty()) {
        std::fprintf(stderr, "no plan of many nodes: %s\n", qPrintable(error));
        return 1;
    }
    const Timing whole = bestOfThree([&] { return mapOnce(company, plan); });
    const Timing nodeByNode = bestOfThree([&] { return nodeByNodeOnce(company, plan); });
    print("plan whole", whole);
    print("plan node by node", nodeByNode);
    std::printf("succession-plan: %d nodes, %d rows, %lld ms, %.1fx node by node\n", whole.nodes, whole.rows, whole.ms,
                double(nodeByNode.ms) / qMax<qint64>(1, whole.ms));
    if (whole.rowTexts != nodeByNode.rowTexts) {
        std::fprintf(stderr, "the plan's map and its nodes' traffic lights differ\n");
        return 1;
    }
    return 0;
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

    benchSession = db.session(company);
    const Timing local = bestOfThree([&] { return mapOnce(company, plan); });
    print("succession", local);
    const Timing nodeByNode = bestOfThree([&] { return nodeByNodeOnce(company, plan); });
    print("node by node", nodeByNode,
          QStringLiteral(", %1x the map's time").arg(double(nodeByNode.ms) / qMax<qint64>(1, local.ms), 0, 'f', 2));
    if (nodeByNode.rows != local.rows) {
        std::fprintf(stderr, "the node-by-node runs gave %d rows, the map %d\n", nodeByNode.rows, local.rows);
        return 1;
    }
    if (manyNodes(db, company) != 0)
        return 1;
    engine::SuccessionResult map;
    {
        HeadlessWorkstation station(benchSession);
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
    benchSession.protocol = QStringLiteral("http");
    benchSession.server = server.address();
    benchSession.alias.clear();
    const int outcome = snapshotsOnce("snapshot-http", company, map);
    server.terminate();
    if (outcome != 0)
        return outcome;
    return overHttp(db.path(), company, plan, local);
}
