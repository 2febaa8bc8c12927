// The traffic lights of every node of the demo plans that has positions below it, for two
// category sets, as `qacsemaf generate` prints them, against the table kept in
// golden/semaforos-demo.csv. A change that moves any percentage updates that file in the same
// commit and says why: run this test with QACSEMAF_UPDATE_GOLDEN=1 to rewrite it.

#include "engine/ResultSchema.h"
#include "tests/support/DemoDatabase.h"
#include "tests/support/TestTools.h"

#include <QFile>
#include <QtTest>

namespace {

struct PlanNode {
    int company = 0, plan = 0, node = 0;
    QString target;            // CODE@COMPANY
    QStringList candidates;    // CODE@COMPANY, in node order
};

const QStringList kCategorySets{QStringLiteral("EF,EN,EP,CO"), QStringLiteral("EF,EP")};
// The node and the categories, then the result table's fields.
QString header()
{
    return QStringLiteral("EMPRESA,PLAN,NODO,CATEGORIAS,") + engine::trafficLightTable().fieldNames().join(QLatin1Char(','));
}

} // namespace

class TestGoldenTable : public QObject {
    Q_OBJECT
private slots:
    void demoPlansMatchTheKeptTable();

private:
    QList<PlanNode> nodesWithCandidates();
    QStringList generate(const PlanNode &node, const QString &categories);

    DemoDatabase m_db;
};

QList<PlanNode> TestGoldenTable::nodesWithCandidates()
{
    QList<PlanNode> nodes;
    for (const QString &row : m_db.query(QStringLiteral(
             "select COD_EMPR, COD_MENU, COD_NODO, COD_CARG || '@' || COD_EMCA from AC_PPROM p where COD_NODO > 0"
             " and COD_CARG is not null and exists (select 1 from AC_PPROM c where c.COD_EMPR = p.COD_EMPR"
             " and c.COD_MENU = p.COD_MENU and c.COD_NODP = p.COD_NODO) order by COD_EMPR, COD_MENU, COD_NODO"))) {
        const QStringList v = row.split(QLatin1Char('|'));
        PlanNode node{v.value(0).toInt(), v.value(1).toInt(), v.value(2).toInt(), v.value(3), {}};
        node.candidates = m_db.query(QStringLiteral("select COD_CARG || '@' || COD_EMCA from AC_PPROM where COD_EMPR = %1"
                                                    " and COD_MENU = %2 and COD_NODP = %3 and COD_CARG is not null order by COD_NODO")
                                         .arg(node.company).arg(node.plan).arg(node.node));
        nodes << node;
    }
    return nodes;
}

// The result rows of one run, each prefixed with the node and the categories.
QStringList TestGoldenTable::generate(const PlanNode &node, const QString &categories)
{
    // The kept table is written with a decimal point and commas, whatever the caller's locale.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LC_ALL", "LC_NUMERIC", "LANG"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    const ProgramRun tool = runProgram(QStringLiteral(QACSEMAF_TOOL),
        {"generate", "--db", m_db.path(), "--company", QString::number(node.company), "--target", node.target,
         "--candidates", node.candidates.join(QLatin1Char(',')), "--categories", categories, "--format", "csv"},
        environment);
    const QString prefix = QStringLiteral("%1,%2,%3,\"%4\",").arg(node.company).arg(node.plan).arg(node.node).arg(categories);
    QStringList lines = tool.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (tool.exitCode != 0 || lines.isEmpty())
        return {prefix + QStringLiteral("FAILED: ") + tool.errors.trimmed()};
    lines.removeFirst(); // the tool's own header
    // The band the tool names last follows from the percentage; the table keeps the fields.
    for (QString &line : lines)
        line = prefix + line.section(QLatin1Char(','), 0, -2);
    return lines;
}

void TestGoldenTable::demoPlansMatchTheKeptTable()
{
    QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
    const QList<PlanNode> nodes = nodesWithCandidates();
    QVERIFY(nodes.size() >= 10);
    QStringList actual{header()};
    for (const PlanNode &node : nodes)
        for (const QString &categories : kCategorySets)
            actual << generate(node, categories);

    QFile kept(QStringLiteral(QACSEMAF_GOLDEN));
    if (qEnvironmentVariableIsSet("QACSEMAF_UPDATE_GOLDEN")) {
        QVERIFY(kept.open(QIODevice::WriteOnly | QIODevice::Truncate));
        kept.write(actual.join(QLatin1Char('\n')).toUtf8() + '\n');
        QSKIP("golden table rewritten");
    }
    QVERIFY2(kept.open(QIODevice::ReadOnly), QACSEMAF_GOLDEN);
    const QStringList expected = QString::fromUtf8(kept.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int i = 0; i < qMin(expected.size(), actual.size()); ++i)
        QCOMPARE(actual.at(i), expected.at(i));
    QCOMPARE(actual.size(), expected.size());
}

QTEST_GUILESS_MAIN(TestGoldenTable)
#include "tst_goldentable.moc"
