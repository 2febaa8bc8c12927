// Seeds a temporary SQLite database with N employee records and measures, through
// SDCOMConnection and the local transport, the rows per second of a large fetch and the cost of
// one small fetch, and what the server's statement check (reading a workstation's text as one
// of the registered statements and writing the text that runs) costs per statement. Prints
// figures only.
//
// Usage: bench_local_transport [rows=100000] [small-fetches=2000]

#include "framework/Exceptions.h"
#include "tools/dbtools/SchemaLoader.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/localtransport/LocalTransport.h"
#include "appserver/SqlDialect.h"
#include "appserver/StatementRegistry.h"
#include "framework/TApplication.h"

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
        && run(query, QStringLiteral("INSERT INTO GN_EMPRE (COD_EMPR, NOM_EMPR) VALUES (1, 'Bench')"))
        && run(query, QStringLiteral("INSERT INTO GN_USEMP (COD_USUA, COD_EMPR) VALUES ('BENCH', 1)"))
        && db.transaction();
    // Every employee holds position BENCH, so the holders' read of that position is the large fetch.
    query.prepare(QStringLiteral("INSERT INTO NM_CONTR (COD_EMPR, COD_EMPL, NRO_CONT, COD_CARG, IND_ACTI) "
                                 "VALUES (1, ?, 1, 'BENCH', 'A')"));
    for (int i = 0; ok && i < employees(rows); ++i) {
        query.addBindValue(double(1000 + i));
        ok = query.exec();
    }
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

// Texts as the module writes them: a dataset's, one with values written in, the profile with
// its categories, and a look-up with the user's criteria.
// Returns false when the check refuses one of them: the registry no longer knows a module text.
bool printStatementCheck(int calls)
{
    using namespace appserver;
    using protocol::Condition;
    using protocol::ConditionOperator;
    using protocol::FieldType;
    // Requests as the module sends them: a dataset's statement, a slot-filled one, a list slot
    // and the employee look-up with two conditions.
    QList<FetchRequest> requests{
        {{}, QStringLiteral("DtsPNmContr"), QStringLiteral("TitularesCargo"),
         {{QStringLiteral("COD_EMPR"), FieldType::Smallint, 1}, {QStringLiteral("COD_CARG"), FieldType::String, "SUP001"}}, {}},
        {{}, QStringLiteral("DtsPTemporal"), QStringLiteral("EmpleadosCargo"),
         {{QStringLiteral("empresa"), FieldType::Integer, 1}, {QStringLiteral("cargo"), FieldType::String, "SUP001"}}, {}},
        {{}, QStringLiteral("DtsPBiDtpca"), QStringLiteral("PerfilCargoCategorias"),
         {{QStringLiteral("categorias"), FieldType::String, QStringList{"EF", "EN", "EP", "CO"}}}, {}},
        {{}, QStringLiteral("DtsPTemporal"), QStringLiteral("ListaEmpleados"),
         {{QStringLiteral("empresa"), FieldType::Integer, 1}},
         {Condition{QStringLiteral("APE_EMPL"), ConditionOperator::StartsWith, "RO", true},
          Condition{QStringLiteral("NRO_CONT"), ConditionOperator::GreaterOrEqual, 2, false}}}};
    const StatementRegistry &registry = StatementRegistry::module();
    const SqlDialect dialect(DatabaseDescription::Engine::Sqlite);
    QElapsedTimer timer;
    timer.start();
    qint64 rendered = 0;
    for (int i = 0; i < calls; ++i) {
        for (const FetchRequest &request : std::as_const(requests)) {
            StatementValues values;
            QString error;
            const RegisteredStatement *found = registry.find(*registry.provider(request.provider), request.statement, &error);
            if (found)
                error = found->bind(request, dialect, &values);
            if (!error.isEmpty()) {
                std::fprintf(stderr, "request check refused a module request: %s\n", qPrintable(error));
                return false;
            }
            rendered += found->render(values, 2).size();
        }
    }
    std::printf("request check: %8.2f us/request (look up, type the values, render; uncached; %d requests x %d, "
                "%lld chars)\n",
                seconds(timer) * 1e6 / (double(calls) * requests.size()), int(requests.size()), calls,
                static_cast<long long>(rendered));
    return true;
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

    LocalTransport::install();
    SDCOMConnection connection;
    connection.setSession(Session(QStringLiteral("local"), QString(), file, QStringLiteral("BENCH"), QStringLiteral("clave"), 1));
    try {
        connection.Open();
        std::vector<double> rates;
        for (int i = 0; i < 3; ++i) {
            timer.restart();
            const auto result = connection.Fetch(
                QStringLiteral("DtsPBiDtpefCargo"), QString(),
                {{QStringLiteral("EMPRESA"), protocol::FieldType::Smallint, 1},
                 {QStringLiteral("CARGO"), protocol::FieldType::String, QStringLiteral("BENCH")}});
            rates.push_back(result.rows.size() / seconds(timer));
        }
        std::printf("large fetch:  %12.0f rows/s (best of 3, %d rows, 5 columns)\n",
                    *std::max_element(rates.begin(), rates.end()), rows);

        timer.restart();
        qint64 fetched = 0;
        for (int i = 0; i < calls; ++i) {
            const QList<protocol::ParamValue> params{
                {QStringLiteral("COD_EMPR"), protocol::FieldType::Smallint, 1},
                {QStringLiteral("COD_EMPL"), protocol::FieldType::Float, double(1000 + i % employees(rows))}};
            fetched += connection.Fetch(QStringLiteral("DtsPBiDtpef"), QString(), params).rows.size();
        }
        std::printf("small fetch:  %12.1f us/call (%d calls, %.1f rows each, session check included)\n",
                    seconds(timer) * 1e6 / calls, calls, calls ? double(fetched) / calls : 0.0);
        std::printf("round trips:  %12lld\n", static_cast<long long>(connection.roundTrips()));
        if (!printStatementCheck(calls))
            return 1;
    } catch (const Exception &e) {
        std::fprintf(stderr, "bench failed: %s\n", e.what());
        return 1;
    }
    return 0;
}
