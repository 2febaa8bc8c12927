// The final ORDER BY that makes SQLite and PostgreSQL give rows in one order: which clauses are
// understood, how PostgreSQL's nulls are placed, and how ties settle.

#include "OrderByClause.h"

#include <QtTest>

using appserver::FieldDesc;
using appserver::FieldType;
using appserver::OrderByClause;

class TestOrderBy : public QObject {
    Q_OBJECT
private slots:
    void nullsSmallest_data();
    void nullsSmallest();
    void ties_data();
    void ties();
};

void TestOrderBy::nullsSmallest_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("rewritten");   // empty: left as it is
    QTest::newRow("one column with its table") << "select * from t a order by a.APE_EMPL"
                                               << "select * from t a order by a.APE_EMPL ASC NULLS FIRST";
    QTest::newRow("descending and by position") << "select x, y from t ORDER  BY y desc, 1;"
                                                << "select x, y from t ORDER  BY y DESC NULLS LAST, 1 ASC NULLS FIRST";
    QTest::newRow("order inside a subquery only") << "select * from (select x from t order by x) s" << "";
    QTest::newRow("an expression") << "select x from t order by lower(x)" << "";
    QTest::newRow("a limit after it") << "select x from t order by x limit 5" << "";
    QTest::newRow("order by inside quotes") << "select 'order by x' from t" << "";
    QTest::newRow("no order") << "select x from t" << "";
}

void TestOrderBy::nullsSmallest()
{
    QFETCH(QString, statement);
    QFETCH(QString, rewritten);
    const OrderByClause order(statement);
    QCOMPARE(order.isPlain(), !rewritten.isEmpty());
    QCOMPARE(order.withNullsSmallest(statement), rewritten.isEmpty() ? statement : rewritten);
}

void TestOrderBy::ties_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QStringList>("rows");      // "surname|code" as the engine returned them
    QTest::addColumn<QStringList>("expected");
    const QString bySurname = QStringLiteral("select APE_EMPL, COD_EMPL from t order by b.APE_EMPL");
    QTest::newRow("tied surnames by code") << bySurname
        << QStringList{"Peña|9", "Ríos|20", "Ríos|3", "Ríos|", "Soto|1"}
        << QStringList{"Peña|9", "Ríos|", "Ríos|3", "Ríos|20", "Soto|1"};
    QTest::newRow("no tie: the engine's order stays") << bySurname
        << QStringList{"Soto|1", "Peña|9"} << QStringList{"Soto|1", "Peña|9"};
    QTest::newRow("ordered by a column not returned") << QStringLiteral("select APE_EMPL, COD_EMPL from t order by NOM_EMPL")
        << QStringList{"Ríos|20", "Ríos|3"} << QStringList{"Ríos|20", "Ríos|3"};
}

void TestOrderBy::ties()
{
    QFETCH(QString, statement);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, expected);
    const QList<FieldDesc> fields{{QStringLiteral("APE_EMPL"), FieldType::String, 25, false},
                                  {QStringLiteral("COD_EMPL"), FieldType::Float, 0, false}};
    QList<QVariantList> table;
    for (const QString &row : rows) {
        const QStringList parts = row.split(QLatin1Char('|'));
        table << QVariantList{parts.at(0), parts.at(1).isEmpty() ? QVariant() : QVariant(parts.at(1).toDouble())};
    }
    OrderByClause(statement).settleTies(fields, &table);
    QStringList got;
    for (const QVariantList &row : table)
        got << row.at(0).toString() + QLatin1Char('|') + (row.at(1).isNull() ? QString() : row.at(1).toString());
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestOrderBy)
#include "tst_orderby.moc"
