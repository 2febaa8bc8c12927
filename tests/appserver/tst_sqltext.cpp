// Reading statement text without a database: named parameters, the read-statement guard, comma
// text, and the final ORDER BY that makes SQLite and PostgreSQL give rows in one order (which
// clauses are understood, where PostgreSQL's nulls go, how ties settle).

#include "CommaText.h"
#include "DataTable.h"
#include "NamedParams.h"
#include "OrderByClause.h"
#include "ReadStatementGuard.h"

#include <QtTest>

using namespace appserver;

Q_DECLARE_METATYPE(appserver::SqlSyntax)

class TstSqlText : public QObject {
    Q_OBJECT
private slots:
    void namedParams_data()
    {
        // distinct: one per name whatever its case, first spelling
        addColumns<QString, QString, QStringList, QStringList>({"statement", "positional", "markers", "distinct"});

        QTest::newRow("repeated and mixed case")
            << "where a = :codempr and b = (select max(x) from t where c = :CodEmpr)"
            << "where a = ? and b = (select max(x) from t where c = ?)" << QStringList{"codempr", "CodEmpr"}
            << QStringList{"codempr"};
        QTest::newRow("cast is not a parameter") << "select a::text, :p::integer from t where b = :p"
                                                 << "select a::text, ?::integer from t where b = ?"
                                                 << QStringList{"p", "p"} << QStringList{"p"};
        QTest::newRow("quoted text and identifiers") << "select ':x', \"a:b\" from t where c = ':y' || :z"
                                                     << "select ':x', \"a:b\" from t where c = ':y' || ?"
                                                     << QStringList{"z"} << QStringList{"z"};
        QTest::newRow("doubled quote stays inside") << "select 'it''s :no' from t where d = :si"
                                                    << "select 'it''s :no' from t where d = ?" << QStringList{"si"}
                                                    << QStringList{"si"};
        QTest::newRow("comments") << "select 1 -- :uno\n/* :dos */ from t where e = :tres"
                                  << "select 1 -- :uno\n/* :dos */ from t where e = ?" << QStringList{"tres"}
                                  << QStringList{"tres"};
        QTest::newRow("digits after the colon are no name") << "x = :1 or y = :b2" << "x = :1 or y = ?"
                                                              << QStringList{"b2"} << QStringList{"b2"};
        QTest::newRow("lone colon, assignment and time") << "a[1:2] = :b, x := 1, '10:30'" << "a[1:2] = ?, x := 1, '10:30'"
                                                         << QStringList{"b"} << QStringList{"b"};
    }

    void namedParams()
    {
        QFETCH(QString, statement);
        QFETCH(QString, positional);
        QFETCH(QStringList, markers);
        QFETCH(QStringList, distinct);

        const NamedParams params(statement);
        QCOMPARE(params.positionalStatement(), positional);
        QCOMPARE(params.markers(), markers);
        QCOMPARE(params.distinctNames(), distinct);
    }

    // PostgreSQL gets its own numbered markers, and its escape strings hide no parameter.
    void namedParamsPostgres()
    {
        const NamedParams params(QStringLiteral("where a = :x and b = E'\\':y' and c = :X"), SqlSyntax::Postgres);
        QCOMPARE(params.positionalStatement(), QStringLiteral("where a = $1 and b = E'\\':y' and c = $2"));
        QCOMPARE(params.markers(), (QStringList{"x", "X"}));
    }

    void readGuard_data()
    {
        // refusal: part of the message; empty: allowed
        addColumns<QString, SqlSyntax, QString>({"statement", "syntax", "refusal"});

        const auto both = {SqlSyntax::Sqlite, SqlSyntax::Postgres};
        for (SqlSyntax syntax : both) {
            const char *engine = syntax == SqlSyntax::Sqlite ? "sqlite" : "pg";
            auto row = [&](const char *name) { return &QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(engine, name))); };
            *row("select") << "select * from ac_pprom\r\nwhere cod_empr = :p\r\n\r\n" << syntax << QString();
            *row("with select") << "WITH a AS (SELECT 1 x) SELECT x FROM a" << syntax << QString();
            *row("trailing semicolon") << "select 1 ;" << syntax << QString();
            *row("keyword inside text") << "select 'delete; drop table x' from t" << syntax << QString();
            *row("keyword inside comment") << "select 1 -- insert into x\nfrom t" << syntax << QString();
            *row("column that contains a keyword") << "select UPDATED_AT, INSERTS from t" << syntax << QString();
            *row("second statement") << "select 1; select 2" << syntax << "una sentencia";
            *row("for update") << "select * from t for update" << syntax << "UPDATE";
            *row("transaction control") << "select 1 from t where 1 = 1 commit" << syntax << "COMMIT";
            *row("insert") << "INSERT INTO t (a) VALUES (9)" << syntax << "INSERT";
            *row("pragma") << "PRAGMA writable_schema = 1" << syntax << "PRAGMA";
            *row("select into a new table") << "select * into copia from t" << syntax << "INTO";
        }
        // PostgreSQL's own quoting: what it reads as text stays text. The forms that hide a second
        // statement are tried on both databases, with no row changed, in tst_serverfetch.
        const SqlSyntax pg = SqlSyntax::Postgres;
        QTest::newRow("pg: escape string with a quote") << "select E'it\\'s; delete' from t" << pg << QString();
        QTest::newRow("pg: dollar quote keeps its text") << "select $q$ ; delete $x$ $q$ from t" << pg << QString();
        QTest::newRow("pg: dollar inside a name is no quote") << "select a$b from t where c = $1" << pg << QString();
        // SQLite's own quoting.
        const SqlSyntax lite = SqlSyntax::Sqlite;
        QTest::newRow("sqlite: bracket and backtick names") << "select [a;b], `c;d` from t" << lite << QString();
    }

    void readGuard()
    {
        QFETCH(QString, statement);
        QFETCH(SqlSyntax, syntax);
        QFETCH(QString, refusal);

        const QString message = ReadStatementGuard::check(statement, syntax);
        if (refusal.isEmpty())
            QVERIFY2(message.isEmpty(), qPrintable(message));
        else
            QVERIFY2(message.contains(refusal), qPrintable(message));
    }

    void commaText_data()
    {
        addColumns<QString, QStringList, QString>({"text", "items", "joined"});

        QTest::newRow("quoted codes") << "\"QBiHvext\",\"QBiEdfor\"" << QStringList{"QBiHvext", "QBiEdfor"}
                                      << "QBiHvext,QBiEdfor";
        QTest::newRow("blanks separate") << "a b,c" << QStringList{"a", "b", "c"} << "a,b,c";
        QTest::newRow("empty and blank items") << "\"\",\"C:\\Program Files\\x.exe\""
                                               << QStringList{"", "C:\\Program Files\\x.exe"}
                                               << "\"\",\"C:\\Program Files\\x.exe\"";
        QTest::newRow("quote inside") << "\"di \"\"hola\"\"\"" << QStringList{"di \"hola\""} << "\"di \"\"hola\"\"\"";
        QTest::newRow("trailing comma") << "a," << QStringList{"a", ""} << "a,\"\"";
    }

    void commaText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, items);
        QFETCH(QString, joined);

        QCOMPARE(CommaText::split(text), items);
        QCOMPARE(CommaText::join(items), joined);
    }

    void nullsSmallest_data()
    {
        // rewritten: empty: left as it is
        addColumns<QString, QString>({"statement", "rewritten"});
        QTest::newRow("one column with its table") << "select * from t a order by a.APE_EMPL"
                                                   << "select * from t a order by a.APE_EMPL ASC NULLS FIRST";
        QTest::newRow("descending and by position") << "select x, y from t ORDER  BY y desc, 1;"
                                                    << "select x, y from t ORDER  BY y DESC NULLS LAST, 1 ASC NULLS FIRST";
        QTest::newRow("order inside a subquery only") << "select * from (select x from t order by x) s" << "";
        QTest::newRow("a limit after it") << "select x from t order by x limit 5" << "";
        QTest::newRow("order by inside quotes") << "select 'order by x' from t" << "";
        QTest::newRow("no order") << "select x from t" << "";
    }

    void nullsSmallest()
    {
        QFETCH(QString, statement);
        QFETCH(QString, rewritten);
        const OrderByClause order(statement);
        QCOMPARE(order.isPlain(), !rewritten.isEmpty());
        QCOMPARE(order.withNullsSmallest(statement), rewritten.isEmpty() ? statement : rewritten);
    }

    void ties_data()
    {
        // rows: "surname|code" as the engine returned them
        addColumns<QString, QStringList, QStringList>({"statement", "rows", "expected"});
        const QString bySurname = QStringLiteral("select APE_EMPL, COD_EMPL from t order by b.APE_EMPL");
        QTest::newRow("tied surnames by code") << bySurname
            << QStringList{"Peña|9", "Ríos|20", "Ríos|3", "Ríos|", "Soto|1"}
            << QStringList{"Peña|9", "Ríos|", "Ríos|3", "Ríos|20", "Soto|1"};
        QTest::newRow("no tie: the engine's order stays") << bySurname
            << QStringList{"Soto|1", "Peña|9"} << QStringList{"Soto|1", "Peña|9"};
    }

    void ties()
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
};

QTEST_APPLESS_MAIN(TstSqlText)
#include "tst_sqltext.moc"
