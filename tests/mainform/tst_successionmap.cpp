// The succession map of a plan gives, for every node, exactly the rows "Generación Semaforo"
// gives on that node in the real main form (same values, same order), and leaves out exactly the
// nodes whose generation finds no candidate position: on every plan of the demo companies and of a
// synthetic company, on SQLite and, when QACSEMAF_PG names a server, on PostgreSQL.

#include "data/DAcSemaf.h"
#include "data/HeadlessWorkstation.h"
#include "data/SuccessionMap.h"
#include "engine/SuccessionSchema.h"
#include "framework/Exceptions.h"
#include "framework/Session.h"
#include "framework/Ugnnorma.h"
#include "tests/engine/support/PostgresCompany.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "ui/MainFormDriver.h"
#include "ui/UAcSemaf.h"

#include <QSet>
#include <QTest>

#include <atomic>

namespace {

engine::Categories categoriesOf(const QString &codes)
{
    return {codes.contains(QLatin1String("EF")), codes.contains(QLatin1String("EN")),
            codes.contains(QLatin1String("EP")), codes.contains(QLatin1String("CO"))};
}

// Every row of a result table, every value at full precision.
QStringList rowTexts(TDataSet &table)
{
    QStringList rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList values;
        for (TField *field : table.Fields()) {
            const QVariant value = table.rowValue(row, field);
            values << (value.isNull()                         ? QStringLiteral("null")
                       : value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'g', 17)
                                                              : value.toString());
        }
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

// The people of a result table: its distinct companies and employee codes.
int peopleIn(TDataSet &table)
{
    TField *company = table.FieldByName(QStringLiteral("COD_EMCA"));
    TField *employee = table.FieldByName(QStringLiteral("COD_EMPL"));
    QSet<QString> people;
    for (int row = 0; row < table.rowCount(); ++row)
        people << table.rowValue(row, company).toString() + QLatin1Char('/') + table.rowValue(row, employee).toString();
    return int(people.size());
}

} // namespace

class TestSuccessionMap : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_demo.isValid(), qPrintable(m_demo.error()));
        QVERIFY2(m_synthetic.isValid(), qPrintable(m_synthetic.error()));
    }

    void wholePlanEqualsNodeByNode_data()
    {
        addColumns<QString, QString, QString, bool>({"world", "backend", "categories", "eduSinPuntos"});
        for (const char *backend : {"sqlite", "postgres"}) {
            const auto row = [backend](const char *name) -> QTestData & {
                return QTest::addRow("%s, %s", name, backend);
            };
            row("demo, every category") << "demo" << backend << "EF,EN,EP,CO" << false;
            row("demo, education without points") << "demo" << backend << "EF,EN" << true;
            row("synthetic, every category") << "synthetic" << backend << "EF,EN,EP,CO" << true;
        }
    }

    void wholePlanEqualsNodeByNode()
    {
        QFETCH(QString, world);
        QFETCH(QString, backend);
        QFETCH(QString, categories);
        QFETCH(bool, eduSinPuntos);
        const DemoDatabase &db = world == QLatin1String("demo") ? m_demo : m_synthetic;
        const QStringList plans = db.query(QStringLiteral(
            "select cod_empr, cod_menu from ac_pprom where cod_nodo = 0 and cod_empr > 0 order by 1, 2"));
        QVERIFY2(!plans.isEmpty() && !plans.first().startsWith(QLatin1String("ERROR")), qPrintable(plans.join('\n')));
        const int firstCompany = plans.first().section(QLatin1Char('|'), 0, 0).toInt();
        if (backend == QLatin1String("postgres")) {
            const QString pg = qEnvironmentVariable("QACSEMAF_PG");
            if (pg.isEmpty())
                QSKIP("PostgreSQL not available: set QACSEMAF_PG to a connection text");
            if (m_onPostgres != world) {
                QCOMPARE(PostgresCompany::copyFrom(db.path(), pg), QString());
                m_onPostgres = world;
            }
            PostgresCompany::startSession(pg, firstCompany);
            // The window's connection takes the session value, which the globals describe.
            Session::makeCurrent(Session(gStProtocolo, gStParSrv, gStAliasCnx, gStParUsu, gStParPas, firstCompany));
        } else {
            db.startSession(firstCompany);
        }

        MainFormDriver driver;
        engine::SuccessionRequest request;
        request.categories = categoriesOf(categories);
        request.eduSinPuntos = eduSinPuntos;
        int comparedRows = 0;
        for (const QString &plan : plans) {
            const int company = plan.section(QLatin1Char('|'), 0, 0).toInt();
            const int menu = plan.section(QLatin1Char('|'), 1, 1).toInt();
            driver.chooseCompany(company);
            driver.form()->gBoNexofEduSinPuntos = eduSinPuntos;
            SuccessionMap map(*DtmAcSemaf);
            const engine::CareerPlanShape shape = map.readPlan(company, menu);
            const engine::SuccessionResult result = map.run(shape, request);
            QVERIFY(!result.cancelled);
            for (const engine::PlanTreeNode &treeNode : shape.nodes()) {
                // The root first, so that the tree is drawn on the plan's header row.
                driver.goToNode(menu, treeNode.node);
                driver.tickCategories(request.categories);
                QString shown;
                try {
                    driver.pressGenerate();
                } catch (const Exception &error) {
                    shown = error.Message();
                }
                const QString where = QStringLiteral("company %1, plan %2, node %3").arg(company).arg(menu).arg(treeNode.node);
                const engine::NodeSuccession *node = result.node(treeNode.node);
                if (!node) {
                    QVERIFY2(shown == engine::noPositionMessage(), qPrintable(where + QStringLiteral(": ") + shown));
                    continue;
                }
                QVERIFY2(shown == node->error, qPrintable(where + QStringLiteral(": ") + shown));
                TClientDataSet rows(QStringLiteral("CdsNodo"));
                SuccessionMap::createTable(rows, engine::trafficLightTable());
                engine::fillTrafficLightRows(rows, *node);
                const QStringList expected = rowTexts(driver.result());
                QVERIFY2(rowTexts(rows) == expected, qPrintable(where));
                // The map counts the traffic light's people, each once; the plan's own row nobody.
                QCOMPARE(node->summary.contracts, node->summary.measured ? int(expected.size()) : 0);
                QCOMPARE(node->summary.candidates, node->summary.measured ? peopleIn(driver.result()) : 0);
                QCOMPARE(node->summary.measured, treeNode.node != 0);
                comparedRows += int(expected.size());
            }
        }
        QVERIFY2(comparedRows >= 40, qPrintable(QString::number(comparedRows)));
    }

    // Progress counts the nodes done out of the nodes to do; a cancel keeps the nodes done, as
    // they would be without it; nothing ticked stops before anything is read.
    void progressAndCancel()
    {
        m_demo.startSession(1);
        HeadlessWorkstation station;
        station.companies.Open();
        SuccessionMap map(station.module);
        engine::SuccessionRequest request;
        request.categories = {true, true, true, true};
        QStringList reports;
        std::atomic_bool cancel{false};
        request.cancel = &cancel;
        request.progress = [&](int done, int total) {
            reports << QStringLiteral("%1/%2").arg(done).arg(total);
            if (done == 2 && m_cancelAtTwo)
                cancel = true;
        };
        const engine::SuccessionResult whole = map.run(1, 1, request);
        QCOMPARE(reports, (QStringList{"0/9", "1/9", "2/9", "3/9", "4/9", "5/9", "6/9", "7/9", "8/9", "9/9"}));
        QVERIFY(!whole.cancelled);

        reports.clear();
        m_cancelAtTwo = true;
        const engine::SuccessionResult cut = map.run(1, 1, request);
        QCOMPARE(reports, (QStringList{"0/9", "1/9", "2/9"}));
        QVERIFY(cut.cancelled);
        QCOMPARE(cut.nodes.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(cut.nodes.at(i).node, whole.nodes.at(i).node);
            QCOMPARE(cut.nodes.at(i).rows.size(), whole.nodes.at(i).rows.size());
            QCOMPARE(cut.nodes.at(i).summary.bestName, whole.nodes.at(i).summary.bestName);
        }

        // A cancel while the run still reads stops it there, before any node is scored.
        reports.clear();
        m_cancelAtTwo = false;
        cancel = false;
        int reads = 0;
        request.reading = [&] {
            if (++reads == 3)
                cancel = true;
        };
        const engine::SuccessionResult early = map.run(1, 1, request);
        QCOMPARE(reads, 3);
        QCOMPARE(reports, QStringList{"0/9"});
        QVERIFY(early.cancelled);
        QVERIFY(early.nodes.isEmpty());
        request.reading = {};

        request.categories = {};
        try {
            map.run(1, 1, request);
            QFAIL("a map without categories ran");
        } catch (const Exception &error) {
            QCOMPARE(error.Message(), QStringLiteral("Debe Seleccionar Competencias..."));
        }
    }

private:
    bool m_cancelAtTwo = false;
    DemoDatabase m_demo;
    DemoDatabase m_synthetic{240};
    QString m_onPostgres;   // the world last copied to PostgreSQL
};

QTEST_MAIN(TestSuccessionMap)
#include "tst_successionmap.moc"
