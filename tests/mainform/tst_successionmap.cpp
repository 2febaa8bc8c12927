// The succession map of a plan gives, for every node, exactly the rows "Generación Semaforo"
// gives on that node in the real main form (same values, same order), and leaves out exactly the
// nodes whose generation finds no candidate position: on every plan of the demo companies and of a
// synthetic company, on SQLite and, when QACSEMAF_PG names a server, on PostgreSQL. The what-if of
// a candidate's gaps gives his row with nothing closed, and with gaps closed what the node gives
// once the records that close them are really written (on SQLite and PostgreSQL).

#include "data/DAcSemaf.h"
#include "data/HeadlessWorkstation.h"
#include "data/SuccessionMap.h"
#include "engine/SuccessionSchema.h"
#include "framework/Exceptions.h"
#include "framework/Session.h"
#include "tests/data/support/GenerationHarness.h"
#include "tests/data/support/PostgresCompany.h"
#include "tests/support/DataTable.h"
#include "tests/support/DemoDatabase.h"
#include "ui/MainFormDriver.h"
#include "ui/UAcSemaf.h"

#include <QTemporaryDir>
#include <QSet>
#include <QTest>

#include <atomic>

namespace {

QString sqlValue(const QVariant &value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    if (value.typeId() == QMetaType::QString)
        return QLatin1Char('\'') + value.toString() + QLatin1Char('\'');
    return QString::number(value.toDouble(), 'g', 17);
}

// Writes `closing` for real: a record of the employee of company `company`, numbered after his
// others; a competence as one more line of his latest evaluation (a new one when he has none).
// Empty, or the error.
QString writeRecord(const QString &path, int company, double employee, const engine::ClosingRecord &closing)
{
    const QString who = QStringLiteral("COD_EMPR = %1 AND COD_EMPL = %2").arg(company).arg(sqlValue(employee));
    const engine::RequirementKey &key = closing.record.key;
    const QString values = QStringLiteral("%1, %2, %3, %4")
                               .arg(sqlValue(key.tipRegi), sqlValue(key.codRequ), sqlValue(key.codEspe),
                                    sqlValue(closing.record.punObte));
    QString sql;
    if (closing.list == engine::RecordList::Competences) {
        QStringList latest = querySqlite(path, QStringLiteral("SELECT RMT_3CCO FROM ED_3CCOM WHERE %1 "
                                                              "ORDER BY FEC_DESD DESC, RMT_3CCO DESC LIMIT 1").arg(who));
        if (latest.isEmpty()) {
            const QStringList made = querySqlite(
                path, QStringLiteral("INSERT INTO ED_3CCOM (COD_EMPR, RMT_3CCO, COD_EMPL, FEC_DESD) SELECT %1, "
                                     "COALESCE(MAX(RMT_3CCO), 0) + 1, %2, '2024-06-01' FROM ED_3CCOM WHERE COD_EMPR = %1")
                          .arg(company)
                          .arg(sqlValue(employee)));
            if (!made.isEmpty())
                return made.join(QLatin1Char('\n'));
            latest = querySqlite(path, QStringLiteral("SELECT MAX(RMT_3CCO) FROM ED_3CCOM WHERE %1").arg(who));
        }
        if (latest.first().startsWith(QLatin1String("ERROR")))
            return latest.first();
        sql = QStringLiteral("INSERT INTO ED_D3CCO (COD_EMPR, RMT_3CCO, NUM_LINE, COD_REGI, COD_REQU, COD_ESPE, PUN_OBTE) "
                             "SELECT %1, %2, COALESCE(MAX(NUM_LINE), 0) + 1, %3 FROM ED_D3CCO WHERE COD_EMPR = %1 AND RMT_3CCO = %2")
                  .arg(company)
                  .arg(latest.first(), values);
    } else {
        const QString table = closing.list == engine::RecordList::Formal      ? QStringLiteral("BI_DTPEF")
                              : closing.list == engine::RecordList::NonFormal ? QStringLiteral("BI_DTPNF")
                                                                               : QStringLiteral("BI_DTPHV");
        sql = QStringLiteral("INSERT INTO %1 (COD_EMPR, COD_EMPL, NUM_REGI, TIP_REGI, COD_REQU, COD_ESPE, PUN_OBTE) "
                             "SELECT %2, %3, COALESCE(MAX(NUM_REGI), 0) + 1, %4 FROM %1 WHERE %5")
                  .arg(table)
                  .arg(company)
                  .arg(sqlValue(employee), values, who);
    }
    return querySqlite(path, sql).join(QLatin1Char('\n'));
}

QStringList gapKeys(const engine::RequirementGaps &gaps)
{
    QStringList keys;
    for (const engine::RequirementGap &gap : gaps)
        keys << engine::gapKeyText({gap.codRequ, gap.codEspe, gap.tipRegi});
    keys.sort();
    return keys;
}

// A candidate's gaps closed in the what-if, and what it answered.
struct Closure {
    engine::CandidateEmployee employee;
    QVector<engine::ClosingRecord> records;
    engine::EmployeeScore score;
    QStringList open;
};

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
        Session session = db.session(firstCompany);
        if (backend == QLatin1String("postgres")) {
            const QString pg = qEnvironmentVariable("QACSEMAF_PG");
            if (pg.isEmpty())
                QSKIP("PostgreSQL not available: set QACSEMAF_PG to a connection text");
            if (m_onPostgres != world) {
                QCOMPARE(PostgresCompany::copyFrom(db.path(), pg), QString());
                m_onPostgres = world;
            }
            session = PostgresCompany::session(pg, firstCompany);
        }

        MainFormDriver driver(session);
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
    // they would be without it. (Nothing ticked: the page's refusals.)
    void progressAndCancel()
    {
        HeadlessWorkstation station(m_demo.session(1));
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
        QCOMPARE(cut.nodes.at(1).node, whole.nodes.at(1).node);
        QCOMPARE(cut.nodes.at(1).summary.bestName, whole.nodes.at(1).summary.bestName);
    }

    void whatIfAgreesWithTheGeneration_data()
    {
        addColumns<QString, bool, int>({"categories", "eduSinPuntos", "node"});
        QTest::newRow("every category, node 3") << "EF,EN,EP,CO" << false << 3;
        QTest::newRow("every category, education without points, node 6") << "EF,EN,EP,CO" << true << 6;
        QTest::newRow("education without points, node 11 (other company)") << "EF,EN" << true << 11;
        QTest::newRow("education with points, node 4") << "EF,EN" << false << 4;
        QTest::newRow("experience and competences, node 11") << "EP,CO" << false << 11;
    }

    // With nothing closed, every candidate's what-if is his row of the node. Three candidates
    // close gaps (every one, the first, the last two or the only one); their closing records are then written in
    // a copy of the database and the node generated again there: each gets the what-if's
    // percentage, the gaps the what-if left open are his gaps there, and nobody else changes. (The
    // reads are the map's, compared on PostgreSQL above.)
    void whatIfAgreesWithTheGeneration()
    {
        QFETCH(QString, categories);
        QFETCH(bool, eduSinPuntos);
        QFETCH(int, node);
        engine::SuccessionRequest request;
        request.categories = categoriesOf(categories);
        request.eduSinPuntos = eduSinPuntos;
        QVector<Closure> closures;
        engine::NodeSuccession before;
        {
            HeadlessWorkstation station(m_demo.session(1));
            station.companies.Open();
            SuccessionMap map(station.module);
            const engine::CareerPlanShape shape = map.readPlan(1, 1);
            before = map.runNode(shape, node, request);
            QVERIFY(before.rows.size() >= 3);
            for (const engine::SuccessionCandidate &row : before.rows) {
                const engine::CandidateWhatIf whatIf =
                    map.whatIf(shape, node, request, row.employee.codEmplValue, row.employee.codEmpr, &before.gaps).whatIf;
                const QString who = row.employee.codEmplText;
                QVERIFY2(whatIf.score().percentage == row.score.percentage,
                         qPrintable(who + QStringLiteral(": %1 / %2").arg(whatIf.score().percentage).arg(row.score.percentage)));
                QCOMPARE(whatIf.score().profileCount, row.score.profileCount);
                const int gaps = int(whatIf.gaps().size());
                if (closures.size() == 3 || gaps == 0
                    || std::any_of(closures.cbegin(), closures.cend(), [&row](const Closure &closure) {
                           return closure.employee.codEmplValue == row.employee.codEmplValue;
                       }))
                    continue;
                QVector<int> closed;
                if (closures.isEmpty())
                    for (int at = 0; at < gaps; ++at)
                        closed << at;
                else
                    closed = closures.size() == 1 || gaps == 1 ? QVector<int>{0} : QVector<int>{gaps - 2, gaps - 1};
                closures.append({row.employee, whatIf.closingRecords(closed), whatIf.score(closed),
                                 gapKeys(whatIf.openGaps(closed))});
                QVERIFY2(whatIf.score(closed).percentage > row.score.percentage, qPrintable(who));
            }
        }
        QCOMPARE(closures.size(), 3);
        QCOMPARE(closures.first().open, QStringList());

        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("closed.db"));
        QVERIFY(QFile::copy(m_demo.path(), copy));
        for (const Closure &closure : std::as_const(closures))
            for (const engine::ClosingRecord &record : closure.records)
                QCOMPARE(writeRecord(copy, closure.employee.codEmpr, closure.employee.codEmplValue, record), QString());
        HeadlessWorkstation station(localSession(copy, 1));
        station.companies.Open();
        SuccessionMap map(station.module);
        const engine::CareerPlanShape shape = map.readPlan(1, 1);
        const engine::NodeSuccession after = map.runNode(shape, node, request);
        QCOMPARE(after.rows.size(), before.rows.size());
        for (int at = 0; at < after.rows.size(); ++at) {
            const engine::SuccessionCandidate &row = after.rows.at(at);
            const auto closure = std::find_if(closures.cbegin(), closures.cend(), [&row](const Closure &closure) {
                return closure.employee.codEmplValue == row.employee.codEmplValue
                    && closure.employee.codEmpr == row.employee.codEmpr;
            });
            const double expected = closure == closures.cend() ? before.rows.at(at).score.percentage : closure->score.percentage;
            QVERIFY2(row.score.percentage == expected,
                     qPrintable(row.employee.codEmplText + QStringLiteral(": %1 / %2").arg(row.score.percentage).arg(expected)));
            QCOMPARE(row.band(), engine::band(expected));
            if (closure != closures.cend())
                QCOMPARE(gapKeys(map.whatIf(shape, node, request, row.employee.codEmplValue, row.employee.codEmpr,
                                            &after.gaps).whatIf.gaps()),
                         closure->open);
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
