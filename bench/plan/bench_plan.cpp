// Opening and scrolling a large career plan: seeds the demo database, adds a plan of N nodes to
// company 1 (positions of companies 1 and 2, as in a company group), then measures through the
// data module and the local transport: the open, the calculated columns of every row (what a
// grid computes as it paints), and a scroll through every row. For comparison it also times the
// three reads per row that the calculated columns would cost if each row read its own values.
// Prints figures only.
//
// Usage: bench_plan [nodes=2000]

#include "data/DAcSemaf.h"
#include "data/HeadlessMainForm.h"
#include "data/StatementCatalog.h"
#include "tests/support/DemoDatabase.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/TApplication.h"
#include "framework/dataset/TDtmGnLibre.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

namespace {

const int kPlan = 90;


bool seedPlan(const QString &file, int nodes)
{
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench-plan"));
        db.setDatabaseName(file);
        ok = db.open() && db.transaction();
        QSqlQuery positions(db);
        QList<QPair<int, QString>> active;
        ok = ok && positions.exec(QStringLiteral("SELECT COD_EMPR, COD_CARG FROM BI_CARGO WHERE COD_EMPR IN (1, 2)"));
        while (ok && positions.next())
            active.append({positions.value(0).toInt(), positions.value(1).toString()});
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral("INSERT INTO AC_PPROM (COD_EMPR, COD_MENU, COD_NODO, COD_NODP, TIP_MENU, "
                                      "NOM_MENU, COD_CARG, COD_EMCA, ACT_ESTA) VALUES (1, ?, ?, ?, 'C', ?, ?, ?, 'A')"));
        for (int node = 0; ok && node <= nodes; ++node) {
            const auto &position = active.at(node % active.size());
            insert.addBindValue(kPlan);
            insert.addBindValue(node);
            insert.addBindValue(node == 0 ? QVariant() : QVariant(node / 3));
            insert.addBindValue(QStringLiteral("Nodo %1").arg(node));
            insert.addBindValue(node == 0 ? QVariant() : QVariant(position.second));
            insert.addBindValue(position.first);
            ok = insert.exec();
            if (!ok)
                std::fprintf(stderr, "seed failed: %s\n", qPrintable(insert.lastError().text()));
        }
        ok = ok && db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bench-plan"));
    return ok;
}

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    const int nodes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 2000;

    DemoDatabase db;
    if (!db.isValid() || !seedPlan(db.path(), nodes)) {
        std::fprintf(stderr, "seed failed: %s\n", qPrintable(db.error()));
        return 1;
    }
    SDCOMConnection connection;
    connection.setSession(db.session(1));
    SClientDataSet companies(QStringLiteral("CdsGnEmpre"));
    SClientDataSet scratch(QStringLiteral("CdsTemporal"));
    companies.RemoteServer = scratch.RemoteServer = &connection;
    companies.ProviderName = QStringLiteral("DtsPGnEmpreFrm");
    scratch.ProviderName = QStringLiteral("DtsPTemporal");
    HeadlessMainForm form;
    TDtmAcSemaf module;
    try {
        module.AfterConstruction();
        module.Forma = &form;
        module.setSession(connection.session());
        module.ConnectTo(&connection, &companies, &scratch);
        module.InicializarlArQry();
        module.ValidaGrupoEmpresarial();
        SClientDataSet &plan = module.QryAcPprom;
        plan.setFilter(QStringLiteral("cod_empr > 0 and cod_menu = %1").arg(kPlan));
        std::printf("career plan of %d nodes, company 1 (group), local transport on SQLite\n", nodes);

        QElapsedTimer timer;
        qint64 trips = connection.roundTrips();
        timer.start();
        plan.Open();
        std::printf("open:                 %9.1f ms, %lld round trips\n", ms(timer),
                    static_cast<long long>(connection.roundTrips() - trips));

        trips = connection.roundTrips();
        timer.restart();
        TField *name = plan.FieldByName(QStringLiteral("DtfNmbCargo"));
        int named = 0;
        for (int row = 0; row < plan.rowCount(); ++row)
            named += !plan.rowValue(row, name).isNull(); // computes every calculated column of the row
        std::printf("calculated, all rows: %9.1f ms, %lld round trips (%d of %d rows with a position name)\n", ms(timer),
                    static_cast<long long>(connection.roundTrips() - trips), named, plan.rowCount());

        trips = connection.roundTrips();
        timer.restart();
        int rows = 0;
        for (plan.First(); !plan.Eof(); plan.Next())
            ++rows;
        const double scroll = ms(timer);
        std::printf("scroll through:       %9.1f ms, %.3f ms/row, %.2f round trips/row "
                    "(replacement rows and holders reopened per row)\n",
                    scroll, scroll / rows, double(connection.roundTrips() - trips) / rows);

        // The same values read row by row, three statements per row.
        trips = connection.roundTrips();
        timer.restart();
        for (int row = 0; row < plan.rowCount(); ++row) {
            const QString position = plan.rowValue(row, plan.FieldByName(QStringLiteral("COD_CARG"))).toString();
            if (position.isEmpty())
                continue;
            DtmGnLibre->ReConsultar(&module.QryCargo, {1, position});
            DtmGnLibre->ReConsultar(&module.QryAcNivel,
                                    {1, module.QryCargo.FieldByName(QStringLiteral("COD_NIVE"))->AsVariant()});
            scratch.Close();
            // A position's own read, one per row, as a row-by-row form would make it.
            StatementCatalog::module().use(scratch, QStringLiteral("CargoExiste"));
            scratch.ParamByName(QStringLiteral("EMPRESA"))
                ->setAsVariant(plan.rowValue(row, plan.FieldByName(QStringLiteral("COD_EMCA"))));
            scratch.ParamByName(QStringLiteral("CARGO"))->setAsString(position);
            scratch.Open();
        }
        std::printf("row-by-row reads:     %9.1f ms, %lld round trips (for comparison)\n", ms(timer),
                    static_cast<long long>(connection.roundTrips() - trips));
    } catch (const Exception &error) {
        std::fprintf(stderr, "bench failed: %s\n", qPrintable(error.Message()));
        return 1;
    }
    return 0;
}
