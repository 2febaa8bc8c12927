// Seeds a temporary SQLite database with N employee records and measures, through
// SDCOMConnection and the local transport, the rows per second of a large fetch and the cost of
// one small fetch. Prints figures only.
//
// Usage: bench_local_transport [rows=100000] [small-fetches=2000]

#include "Exceptions.h"
#include "SchemaLoader.h"
#include "SDCOMConnection.h"
#include "TApplication.h"
#include "Ugnnorma.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {


bool run(QSqlQuery &query, const QString &statement)
{
    if (query.exec(statement))
        return true;
    std::fprintf(stderr, "seed failed: %s\n", qPrintable(query.lastError().text()));
    return false;
}

// Three records per employee of company 1, as a small fetch finds them.
int employees(int rows)
{
    return std::max(1, rows / 3);
}

bool seed(const QString &file, int rows)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
    db.setDatabaseName(file);
    if (!db.open())
        return false;
    // The project's schema: the server opens only databases of this module.
    const dbtools::DbOutcome created = dbtools::SchemaLoader(db).create();
    if (!created.ok())
        std::fprintf(stderr, "schema failed: %s\n", qPrintable(created.error));
    QSqlQuery query(db);
    bool ok = created.ok()
        && run(query, QStringLiteral("INSERT INTO GN_USUAR (COD_USUA, PAS_USUA, TIP_USUA, NOM_USUA) "
                                     "VALUES ('BENCH', 'clave', 'AD', 'Bench')"))
        && db.transaction();
    query.prepare(QStringLiteral("INSERT INTO BI_DTPEF VALUES (1, ?, ?, 'EF', ?, NULL, ?, ?, '2020-01-31')"));
    for (int i = 0; ok && i < rows; ++i) {
        query.addBindValue(double(1000 + i % employees(rows)));
        query.addBindValue(i);
        query.addBindValue(10 + i % 7);
        query.addBindValue(i % 100 * 0.5);
        query.addBindValue(QStringLiteral("Registro de formación número %1").arg(i));
        ok = query.exec();
    }
    ok = ok && db.commit();
    query = QSqlQuery();
    db.close();
    return ok;
}

double seconds(QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int rows = args.size() > 1 ? args.at(1).toInt() : 100000;
    const int calls = args.size() > 2 ? args.at(2).toInt() : 2000;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.db"));

    QElapsedTimer timer;
    timer.start();
    if (!seed(file, rows))
        return 1;
    QSqlDatabase::removeDatabase(QStringLiteral("seed"));
    std::printf("local transport on SQLite, %d rows\n", rows);
    std::printf("seed:         %12.0f rows/s\n", rows / seconds(timer));

    gStProtocolo = QStringLiteral("local");
    gStAliasCnx = file;
    gStCodiUsua = QStringLiteral("BENCH");
    gStPassUsua = QStringLiteral("clave");
    TApplication::instance().Tag = 1;
    SDCOMConnection connection;
    try {
        connection.Open();
        std::vector<double> rates;
        for (int i = 0; i < 3; ++i) {
            timer.restart();
            const auto result = connection.Fetch(QStringLiteral("DtsPTemporal"),
                                                 QStringLiteral("select * from BI_DTPEF"), {});
            rates.push_back(result.rows.size() / seconds(timer));
        }
        std::printf("large fetch:  %12.0f rows/s (best of 3, %d rows, 9 columns)\n",
                    *std::max_element(rates.begin(), rates.end()), rows);

        timer.restart();
        qint64 fetched = 0;
        for (int i = 0; i < calls; ++i) {
            const QList<appserver::ParamValue> params{
                {QStringLiteral("COD_EMPR"), appserver::FieldType::Smallint, 1},
                {QStringLiteral("COD_EMPL"), appserver::FieldType::Float, double(1000 + i % employees(rows))}};
            fetched += connection.Fetch(QStringLiteral("DtsPBiDtpef"), QString(), params).rows.size();
        }
        std::printf("small fetch:  %12.1f us/call (%d calls, %.1f rows each, session check included)\n",
                    seconds(timer) * 1e6 / calls, calls, calls ? double(fetched) / calls : 0.0);
        std::printf("round trips:  %12lld\n", static_cast<long long>(connection.roundTrips()));
    } catch (const Exception &e) {
        std::fprintf(stderr, "bench failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
