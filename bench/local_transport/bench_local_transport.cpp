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
#include "appserver/StatementRegistry.h"
#include "framework/TApplication.h"
#include "framework/Ugnnorma.h"

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
    const QStringList texts{
        QStringLiteral("select   a.COD_EMPR,a.COD_EMPL,a.COD_CARG,\n             b.APE_EMPL,b.NOM_EMPL\nfrom      NM_CONTR a, "
                       "BI_EMPLE b\nwhere   a.COD_EMPR = b.COD_EMPR\nand       a.COD_EMPL =  b.COD_EMPL\nand       "
                       "a.COD_EMPR = :COD_EMPR\nand       a.COD_CARG = :COD_CARG\nand       a.IND_ACTI    =  'A'\norder by b.APE_EMPL"),
        QStringLiteral(" select a.COD_EMPR,a.COD_EMPL,a.COD_CARG,        b.APE_EMPL,b.NOM_EMPL  from NM_CONTR a, BI_EMPLE b  "
                       "where a.COD_EMPR = b.COD_EMPR    and a.COD_EMPL = b.COD_EMPL    and a.COD_EMPR = 1   and "
                       "a.COD_CARG = 'SUP001'   and a.IND_ACTI = 'A' order by b.APE_EMPL"),
        QStringLiteral(" select * from BI_DTPCA a  where a.COD_EMPR = :P_COD_EMPR    and a.COD_CARG = :P_COD_CARG    AND "
                       "TIP_REGI IN  ( select TIP_REGI                       from ac_dpama                       WHERE "
                       "COD_EMPR = a.COD_EMPR                         AND COD_DETA IN ('EF','EN','EP','CO'))  ORDER BY "
                       "a.TIP_REGI, a.COD_REQU, a.COD_ESPE "),
        QStringLiteral("select  a.cod_empl,a.nom_empl,a.ape_empl,b.cod_carg,b.nro_cont\r\nfrom     bi_emple a,nm_contr b\r\n"
                       "where  a.cod_empr = b.cod_empr\r\nand      a.cod_empl = b.cod_empl\r\nand      a.cod_empr = 1\r\n"
                       "and      b.ind_acti = 'A'\r\n AND UPPER(a.ape_empl) LIKE 'RO%' ESCAPE '\\' AND b.nro_cont >= 2\r\n"
                       "order by a.ape_empl,a.nom_empl")};
    const QStringList providers{QStringLiteral("DtsPNmContr"), QStringLiteral("DtsPTemporal"),
                                QStringLiteral("DtsPBiDtpca"), QStringLiteral("DtsPTemporal")};
    const StatementRegistry &registry = StatementRegistry::module();
    QElapsedTimer timer;
    timer.start();
    qint64 rendered = 0;
    for (int i = 0; i < calls; ++i) {
        for (int k = 0; k < texts.size(); ++k) {
            StatementValues values;
            QString error;
            const RegisteredStatement *found =
                registry.match(*registry.provider(providers.at(k)), texts.at(k), SqlSyntax::Sqlite, &values, &error);
            if (!found) {
                std::fprintf(stderr, "statement check refused a module text: %s\n", qPrintable(error));
                return false;
            }
            rendered += found->render(values, 2).size();
        }
    }
    std::printf("statement check: %9.2f us/statement (match and render, uncached; %d texts x %d, %lld chars)\n",
                seconds(timer) * 1e6 / (double(calls) * texts.size()), int(texts.size()), calls,
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
