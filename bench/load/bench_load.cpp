// Load on the shared server: N workstations (threads, each with its own http transport) make M
// mixed calls each against one qacsemaf-server on loopback: reading their own replacement rows,
// inserting new ones, and incrementing one counter row that all share (read, then an update that
// names the old value; a refusal because someone else got there first is retried). Afterwards the
// database must hold every insert and every increment that the server confirmed.
// Usage: bench_load [clients=8] [calls=500] [--pg "conninfo" (a seeded database)]

#include "tests/support/DemoDatabase.h"
#include "framework/connection/HttpTransport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QRegularExpression>
#include <atomic>
#include <cstdio>
#include <thread>

using namespace protocol;

namespace {

const Credentials kSession{QStringLiteral("ADMIN"), QStringLiteral("ADMIN"), 1};
constexpr int kSharedMenu = 999;
constexpr int kFirstMenu = 900;

struct Tally {
    std::atomic<int> errors{0};
    std::atomic<int> inserted{0};
    std::atomic<int> increments{0};
    std::atomic<int> calls{0};
};

QVariantMap cuareRow(int menu, double employee, const QString &position)
{
    return {{"COD_EMPR", 1}, {"COD_MENU", menu}, {"COD_NODO", 1}, {"COD_EMPL", employee},
            {"COD_CARG", position}, {"JEF_DEPE", "N"}, {"ACT_USUA", "ADMIN"}, {"ACT_ESTA", "A"}};
}

FetchResult fetchMenu(HttpTransport &server, int menu)
{
    // The replacement table's own statement, as the window names it.
    return server.fetch({kSession, QStringLiteral("DtsPAcCuare"), QStringLiteral("Reemplazos"),
                         {{QStringLiteral("cod_empr"), FieldType::Smallint, 1},
                          {QStringLiteral("cod_menu"), FieldType::Smallint, menu},
                          {QStringLiteral("cod_nodo"), FieldType::Smallint, 1}},
                         {}});
}

// The counter row's position code, found by name in the answer.
QString positionOf(const FetchResult &answer)
{
    for (int i = 0; i < answer.fields.size(); ++i)
        if (answer.fields.at(i).name.compare(QLatin1String("COD_CARG"), Qt::CaseInsensitive) == 0)
            return answer.rows.value(0).value(i).toString();
    return {};
}

void report(Tally &tally, const QString &error)
{
    ++tally.errors;
    std::fprintf(stderr, "error: %s\n", qPrintable(error));
}

void workstation(const QString &address, int client, int calls, Tally &tally)
{
    HttpTransport server(address, QString(), 30000);
    int made = 0, next = 0;
    const auto count = [&] { ++made; ++tally.calls; };
    while (made < calls) {
        switch (made % 3) {
        case 0: {
            const FetchResult own = fetchMenu(server, kFirstMenu + client);
            count();
            if (!own.ok())
                report(tally, own.error);
            break;
        }
        case 1: {
            const ApplyResult done = server.apply({kSession, QStringLiteral("DtsPAcCuare"),
                                                   {RowDelta{RowDelta::Kind::Insert, {}, cuareRow(kFirstMenu + client, ++next, "OPE001")}}});
            count();
            done.ok() ? void(++tally.inserted) : report(tally, done.error);
            break;
        }
        default: {
            const FetchResult shared = fetchMenu(server, kSharedMenu);
            count();
            if (!shared.ok() || shared.rows.size() != 1) {
                report(tally, shared.error);
                break;
            }
            const QString value = positionOf(shared);
            QVariantMap old = cuareRow(kSharedMenu, 1, value);
            const ApplyResult done = server.apply({kSession, QStringLiteral("DtsPAcCuare"),
                                                   {RowDelta{RowDelta::Kind::Update, old,
                                                             {{"COD_CARG", QString::number(value.toInt() + 1)}}}}});
            count();
            if (done.ok())
                ++tally.increments;
            else if (!done.error.contains(QStringLiteral("fue modificado o eliminado por otro usuario")))
                report(tally, done.error);   // a stale value is the expected refusal; anything else is not
        }
        }
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int clients = args.size() > 1 && args.at(1).toInt() > 0 ? args.at(1).toInt() : 8;
    const int calls = args.size() > 2 && args.at(2).toInt() > 0 ? args.at(2).toInt() : 500;
    const int pgAt = args.indexOf(QStringLiteral("--pg"));
    std::unique_ptr<DemoDatabase> demo;
    QStringList database;
    if (pgAt > 0 && pgAt + 1 < args.size()) {
        database = {QStringLiteral("--pg"), args.at(pgAt + 1)};
    } else {
        demo = std::make_unique<DemoDatabase>();
        if (!demo->isValid()) {
            std::fprintf(stderr, "seed failed: %s\n", qPrintable(demo->error()));
            return 1;
        }
        database = {QStringLiteral("--db"), demo->path()};
    }
    // The server's log (a line per call) goes to a file: a pipe nobody drains would stop it.
    QTemporaryDir logDir;
    QFile logFile(logDir.filePath(QStringLiteral("server.log")));
    QProcess process;
    process.setStandardErrorFile(logFile.fileName());
    process.start(QStringLiteral(QACSEMAF_SERVER), database + QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")});
    static const QRegularExpression listening(QStringLiteral("listening on (127\\.0\\.0\\.1:\\d+)"));
    QString log;
    QRegularExpressionMatch match;
    for (int waited = 0; !(match = listening.match(log)).hasMatch() && waited < 100; ++waited) {
        QThread::msleep(100);
        if (logFile.open(QIODevice::ReadOnly)) {
            log = QString::fromUtf8(logFile.readAll());
            logFile.close();
        }
    }
    if (!match.hasMatch()) {
        std::fprintf(stderr, "qacsemaf-server did not start: %s\n", qPrintable(log));
        return 1;
    }
    const QString address = match.captured(1);
    HttpTransport setup(address, QString(), 30000);
    // A clean slate: no rows of earlier runs, and the shared counter at 0.
    QList<RowDelta> clear;
    for (int menu = kFirstMenu; menu <= kSharedMenu; ++menu)
        for (const QVariantList &row : fetchMenu(setup, menu).rows)
            clear << RowDelta{RowDelta::Kind::Delete, cuareRow(menu, row.at(0).toDouble(), row.at(1).toString()), {}};
    clear << RowDelta{RowDelta::Kind::Insert, {}, cuareRow(kSharedMenu, 1, QStringLiteral("0"))};
    if (const ApplyResult done = setup.apply({kSession, QStringLiteral("DtsPAcCuare"), clear}); !done.ok()) {
        std::fprintf(stderr, "setup failed: %s\n", qPrintable(done.error));
        return 1;
    }

    Tally tally;
    QElapsedTimer timer;
    timer.start();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back(workstation, address, c, calls, std::ref(tally));
    for (std::thread &thread : threads)
        thread.join();
    const qint64 ms = qMax<qint64>(1, timer.elapsed());

    int stored = 0;
    for (int c = 0; c < clients; ++c)
        stored += int(fetchMenu(setup, kFirstMenu + c).rows.size());
    const FetchResult counter = fetchMenu(setup, kSharedMenu);
    const int counted = counter.rows.isEmpty() ? -1 : positionOf(counter).toInt();
    const int lost = qAbs(tally.inserted - stored) + qAbs(tally.increments - counted);
    process.terminate();
    process.waitForFinished(10000);
    std::printf("inserts %d confirmed, %d stored; increments %d confirmed, counter %d\n", tally.inserted.load(), stored,
                tally.increments.load(), counted);
    std::printf("load: %d clients x %d calls, %d errors, %d lost writes, %lld calls/s\n", clients, calls,
                tally.errors.load(), lost, qint64(tally.calls) * 1000 / ms);
    return tally.errors == 0 && lost == 0 ? 0 : 1;
}
