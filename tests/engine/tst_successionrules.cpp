// The succession map's rules over plain values: the plan's tree and each node's inputs, a node's
// counts and best candidate, and requirement gaps. (Which positions' records are read together
// shows in the map's rows, tst_successionmap, and in its round trips, bench_succession.)

#include "tests/support/DataTable.h"
#include "engine/CareerPlanShape.h"
#include "engine/RequirementGapTally.h"
#include "engine/SuccessionResult.h"
#include "framework/Exceptions.h"

#include <QtTest>

using namespace engine;

namespace {

// "node:parent:position:company" items.
QVector<PlanNodeRow> planRows(const QStringList &items)
{
    QVector<PlanNodeRow> rows;
    for (const QString &item : items) {
        const QStringList parts = item.split(QLatin1Char(':'));
        rows.append({parts.at(0).toInt(), parts.at(1).toInt(), parts.at(2), parts.at(3)});
    }
    return rows;
}

// Codes written as the career tree joins them: 'A','B'.
QString quotedList(const QStringList &codes)
{
    QStringList quoted;
    for (const QString &code : codes)
        quoted << QLatin1Char('\'') + code + QLatin1Char('\'');
    return quoted.join(QLatin1Char(','));
}

SuccessionCandidate candidate(const QString &surname, double percentage)
{
    SuccessionCandidate row;
    row.employee.apellidos = surname + QStringLiteral("   ");
    row.employee.nombres = QStringLiteral(" Ana");
    row.score.percentage = percentage;
    return row;
}

ProfileRow profileRow(const char *type, int requirement, QVariant detail, QVariant required)
{
    ProfileRow row{{requirement, std::move(detail), QString::fromLatin1(type)}, std::move(required)};
    row.key.prepare();
    return row;
}

} // namespace

Q_DECLARE_METATYPE(QList<QVector<long double>>)

class TestSuccessionRules : public QObject {
    Q_OBJECT
private slots:
    void planShape_data()
    {
        // rows: the plan's nodes in any order; expected: "node>parent=candidates" for every node drawn
        addColumns<QStringList, QStringList>({"rows", "expected"});
        QTest::newRow("root takes every child, a node skips its own position")
            << QStringList{"1:0:A:1", "2:1:B:1", "3:1:A:1", "4:0:A:2"}
            << QStringList{"0>-1='A','A'/'1','2'", "1>0='B'/'1'", "2>1=", "3>1=", "4>0="};
        QTest::newRow("a missing parent keeps the previous row's parent")
            << QStringList{"1:0:A:1", "2:1:B:1", "3:2:C:1", "4:9:D:1", "5:1:E:1"}
            << QStringList{"0>-1='A'/'1'", "1>0='B','E'/'1','1'", "2>1='C','D'/'1','1'", "3>2=", "4>2=", "5>1="};
        QTest::newRow("a parent numbered higher is not drawn yet")
            << QStringList{"1:8:D3:1", "2:1:C3:1", "5:8:D4:1", "8:0:G3:1"}
            << QStringList{"0>-1='D3','G3'/'1','1'", "1>0='C3','D4'/'1','1'", "2>1=", "5>1=", "8>0="};
        QTest::newRow("empty codes stay empty items") << QStringList{"1:0::", "2:1:B:"}
                                                       << QStringList{"0>-1=''/''", "1>0='B'/''", "2>1="};
    }

    void planShape()
    {
        QFETCH(QStringList, rows);
        QFETCH(QStringList, expected);
        const CareerPlanShape shape({0, 0, QStringLiteral("A"), QStringLiteral("1")}, planRows(rows));
        QStringList drawn;
        for (const PlanTreeNode &node : shape.nodes()) {
            QString text = QStringLiteral("%1>%2=").arg(node.node).arg(node.treeParent);
            if (node.hasCandidates())
                text += quotedList(node.candidatePositions) + QLatin1Char('/') + quotedList(node.candidateCompanies);
            drawn << text;
        }
        QCOMPARE(drawn, expected);
    }

    void nodeInputs_data()
    {
        addColumns<QStringList, int, QString>({"rows", "node", "message"});
        QTest::newRow("a company that is not a number") << QStringList{"1:0:A:x"} << 0
                                                         << "'x' no es un valor entero válido (COD_EMPR)";
        QTest::newRow("no candidates") << QStringList{"1:0:A:1"} << 1
                                       << "No se seleccionó cargo en el árbol o no existen cargos debajo del mismo...";
        QTest::newRow("no such node") << QStringList{"1:0:A:1"} << 7 << "El plan no tiene el nodo 7.";
    }

    void nodeInputs()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, node);
        QFETCH(QString, message);
        const CareerPlanShape shape({0, 0, QString(), QStringLiteral("1")}, planRows(rows));
        try {
            shape.inputs(node, {true, false, false, false}, false);
            QFAIL("the inputs were taken");
        } catch (const Exception &error) {
            QCOMPARE(error.Message(), message);
        }
    }

    void summaryCounts_data()
    {
        // node and target position; contracts as "company:employee:percentage" in the traffic
        // light's order; rows of the target's profile; the summary as "people/contracts
        // green,yellow,red best (percentage) profile rows", or "plan: name" for a row that measures nothing
        addColumns<int, QString, QStringList, int, QString>({"node", "position", "contracts", "profileRows", "expected"});
        QTest::newRow("every band, bounds included")
            << 4 << "C1" << QStringList{"1:1:69.99", "1:2:91.1", "1:3:91.1000001", "1:4:70", "1:5:0", "1:6:95"} << 3
            << "6/6 2,2,2 E6 Ana (95) 3";
        QTest::newRow("the first of equal bests")
            << 4 << "C1" << QStringList{"1:1:80", "1:2:88.5", "1:3:88.5"} << 3 << "3/3 0,3,0 E2 Ana (88.5) 3";
        QTest::newRow("nobody") << 4 << "C1" << QStringList{} << 3 << "0/0 0,0,0  (0) 3";
        QTest::newRow("two contracts of one person count once, by the better")
            << 3 << "C1" << QStringList{"1:7:95", "1:8:60", "1:7:50", "1:9:92"} << 2 << "3/4 2,0,1 E7 Ana (95) 2";
        QTest::newRow("the better contract comes last")
            << 3 << "C1" << QStringList{"1:7:50", "1:8:80", "1:7:95"} << 2 << "2/3 1,1,0 E7 Ana (95) 2";
        QTest::newRow("one code in two companies is two people")
            << 3 << "C1" << QStringList{"1:7:95", "2:7:95"} << 2 << "2/2 2,0,0 E7 Ana (95) 2";
        QTest::newRow("no profile: everyone at 0, told by the profile rows")
            << 5 << "C2" << QStringList{"1:1:0", "1:2:0"} << 0 << "2/2 0,0,2 E1 Ana (0) 0";
        QTest::newRow("the plan's own row measures nothing")
            << 0 << "" << QStringList{"1:1:0", "1:1:0"} << 0 << "plan: Plan (sin cargo)";
        QTest::newRow("a root that names a position is measured")
            << 0 << "DIR" << QStringList{"1:1:80", "1:1:0"} << 1 << "1/2 0,1,0 E1 Ana (80) 1";
        QTest::newRow("a node without a position code is no plan row")
            << 2 << " " << QStringList{"1:1:0"} << 0 << "1/1 0,0,1 E1 Ana (0) 0";
    }

    void summaryCounts()
    {
        QFETCH(int, node);
        QFETCH(QString, position);
        QFETCH(QStringList, contracts);
        QFETCH(int, profileRows);
        QFETCH(QString, expected);
        NodeSuccession scored;
        scored.node = node;
        scored.inputs.target = {position, 2};
        for (const QString &contract : contracts) {
            const QStringList parts = contract.split(QLatin1Char(':'));
            SuccessionCandidate row = candidate(QStringLiteral("E") + parts.at(1), parts.at(2).toDouble());
            row.employee.codEmpr = parts.at(0).toInt();
            row.employee.codEmplValue = parts.at(1).toDouble();
            scored.rows << row;
        }
        const NodeSummary summary = summarizeNode(scored, QStringLiteral("Jefe"), profileRows);
        QCOMPARE(summary.node, node);
        QCOMPARE(summary.positionCode, position);
        const QString found = !summary.measured
            ? QStringLiteral("plan: ") + summary.positionName
            : QStringLiteral("%1/%2 %3,%4,%5 %6 (%7) %8")
                  .arg(summary.candidates).arg(summary.contracts)
                  .arg(summary.green).arg(summary.yellow).arg(summary.red)
                  .arg(summary.bestName).arg(summary.bestPercentage).arg(summary.profileRows);
        QCOMPARE(found, expected);
        QCOMPARE(summary.band.has_value(), summary.measured && summary.candidates > 0);
        if (summary.band)
            QCOMPARE(*summary.band, band(summary.bestPercentage));
        if (summary.measured)
            QCOMPARE(summary.positionName, QStringLiteral("Jefe"));
    }

    // The map's totals leave the plan's own row out and count people.
    void planTotals()
    {
        SuccessionResult result;
        const auto add = [&result](int node, const char *position, const QStringList &employees) {
            NodeSuccession scored;
            scored.node = node;
            scored.inputs.target = {QString::fromLatin1(position), 1};
            for (const QString &employee : employees) {
                SuccessionCandidate row = candidate(employee, 50);
                row.employee.codEmpr = 1;
                row.employee.codEmplValue = employee.toDouble();
                scored.rows << row;
            }
            scored.summary = summarizeNode(scored, QString(), 1);
            result.nodes << scored;
        };
        add(0, "", {"1", "2", "3"});
        add(1, "A", {"1", "2", "2"});
        add(4, "B", {"3"});
        QCOMPARE(result.rowCount(), 7);
        QCOMPARE(result.measuredNodes(), 2);
        QCOMPARE(result.evaluatedPeople(), 3);
    }

    void gaps_data()
    {
        // Profile: EX 100/1 needs 10, FO 200/null needs 20, CO 300/1 needs nothing, FO 200/null
        // again needs 20. Each candidate's points per row; expected "type requirement detail:
        // short/evaluated average", most-missed first.
        addColumns<QList<QVector<long double>>, QStringList>({"obtained", "expected"});
        QTest::newRow("three candidates")
            << QList<QVector<long double>>{{10, 5, 0, 0}, {0, 25, 7, 20}, {12, 0, 0, 0}}
            << QStringList{"FO 200 null: 4/6 37.5", "EX 100 1: 1/3 66.67"};
        QTest::newRow("everyone meets everything") << QList<QVector<long double>>{{10, 20, 0, 20}}
                                                   << QStringList{"EX 100 1: 0/1 100", "FO 200 null: 0/2 100"};
        QTest::newRow("nobody evaluated") << QList<QVector<long double>>{}
                                          << QStringList{"EX 100 1: 0/0 0", "FO 200 null: 0/0 0"};
    }

    void gaps()
    {
        QFETCH(QList<QVector<long double>>, obtained);
        QFETCH(QStringList, expected);
        const Profile profile{profileRow("EX", 100, 1, 10.0), profileRow("FO", 200, QVariant(), 20.0),
                              profileRow("CO", 300, 1, QVariant()), profileRow("FO", 200, QVariant(), 20)};
        RequirementGapTally tally(3, profile);
        for (const QVector<long double> &points : obtained)
            tally.add(points);
        QStringList found;
        for (const RequirementGap &gap : tally.gaps()) {
            QCOMPARE(gap.company, 3);
            found << QStringLiteral("%1 %2 %3: %4/%5 %6")
                         .arg(gap.tipRegi.toString(), gap.codRequ.toString(),
                              gap.codEspe.isNull() ? QStringLiteral("null") : gap.codEspe.toString())
                         .arg(gap.shortCount)
                         .arg(gap.evaluated)
                         .arg(gap.averageFulfilment);
        }
        QCOMPARE(found, expected);
    }

    // A plan's totals: one requirement of two companies' profiles counts once by its names; an
    // unnamed one keeps to its company's codes.
    void planGapsAddUpByName()
    {
        const auto gap = [](int company, int requirement, const char *name, int shortCount, int evaluated,
                            double fulfilmentSum) {
            RequirementGap made;
            made.company = company;
            made.tipRegi = QStringLiteral("FO");
            made.codRequ = requirement;
            made.categoryName = QStringLiteral("EDUCACIÓN FORMAL");
            made.requirementName = QString::fromUtf8(name);
            made.shortCount = shortCount;
            made.evaluated = evaluated;
            made.fulfilmentSum = fulfilmentSum;
            made.averageFulfilment = averageFulfilment(fulfilmentSum, evaluated);
            return made;
        };
        RequirementGaps total;
        addGaps(total, {gap(1, 200, "Economía", 3, 4, 2.0), gap(1, 7, "", 1, 1, 0.0)});
        addGaps(total, {gap(2, 950, "Economía", 2, 4, 3.0), gap(2, 7, "", 1, 2, 1.0)});
        QStringList found;
        for (const RequirementGap &each : total)
            found << QStringLiteral("%1 %2 %3: %4/%5 %6")
                         .arg(each.company).arg(each.codRequ.toInt()).arg(each.requirementName)
                         .arg(each.shortCount).arg(each.evaluated).arg(each.averageFulfilment);
        QCOMPARE(found, (QStringList{QStringLiteral("1 200 Economía: 5/8 62.5"), QStringLiteral("1 7 : 1/1 0"),
                                     QStringLiteral("2 7 : 1/2 50")}));
    }

    void obtainedByRowAddsUpToTheScore()
    {
        const Profile profile{profileRow("EX", 100, 1, 10.0), profileRow("FO", 200, QVariant(), 20.0),
                              profileRow("FO", 200, 2, 5.0), profileRow("CO", 300, 1, QVariant())};
        EmployeeRecords records;
        records.experience = {{{100, 1, QStringLiteral("EX")}, 4.0}, {{100, 1, QStringLiteral("EX")}, 3.5}};
        records.formal = {{{200, QVariant(), QStringLiteral("FO")}, 30.0}, {{200, 2, QStringLiteral("FO")}, 1.0}};
        records.competences = {{{300, 1, QStringLiteral("CO")}, 6.0}};
        const Rounding asIs = [](double value) { return value; };
        for (const bool eduSinPuntos : {false, true}) {
            const Categories all{true, true, true, true};
            const QVector<long double> rows = obtainedByRow(profile, records, all, eduSinPuntos);
            QVector<double> found;
            long double sum = 0;
            for (const long double points : rows) {
                found << double(points);
                sum += points;
            }
            const QVector<double> expected = eduSinPuntos ? QVector<double>{7.5, 20, 5, 6} : QVector<double>{7.5, 30, 1, 6};
            QCOMPARE(found, expected);
            QCOMPARE(double(sum), double(scoreEmployee(profile, records, all, eduSinPuntos, asIs).obtained));
            // Scored with the points by row in one walk: the same score, the same rows.
            QVector<long double> byRow{99};
            const EmployeeScore withRows = scoreEmployee(profile, records, all, eduSinPuntos, asIs, byRow);
            QCOMPARE(byRow, rows);
            QCOMPARE(double(withRows.obtained), double(sum));
            QCOMPARE(withRows.percentage, scoreEmployee(profile, records, all, eduSinPuntos, asIs).percentage);
        }
    }
};

QTEST_GUILESS_MAIN(TestSuccessionRules)
#include "tst_successionrules.moc"
