// Reading statement text without a database: named parameters, the read-statement guard and
// comma text.

#include "CommaText.h"
#include "NamedParams.h"
#include "ReadStatementGuard.h"

#include <QtTest>

using namespace appserver;

Q_DECLARE_METATYPE(appserver::SqlSyntax)

class TstSqlText : public QObject {
    Q_OBJECT
private slots:
    void namedParams_data();
    void namedParams();
    void namedParamsPostgres();
    void readGuard_data();
    void readGuard();
    void commaText_data();
    void commaText();
};

void TstSqlText::namedParams_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("positional");
    QTest::addColumn<QStringList>("markers");

    QTest::newRow("repeated and mixed case")
        << "where a = :codempr and b = (select max(x) from t where c = :CodEmpr)"
        << "where a = ? and b = (select max(x) from t where c = ?)" << QStringList{"codempr", "CodEmpr"};
    QTest::newRow("cast is not a parameter") << "select a::text from t where b = :p"
                                             << "select a::text from t where b = ?" << QStringList{"p"};
    QTest::newRow("quoted text and identifiers") << "select ':x', \"a:b\" from t where c = ':y' || :z"
                                                 << "select ':x', \"a:b\" from t where c = ':y' || ?"
                                                 << QStringList{"z"};
    QTest::newRow("doubled quote stays inside") << "select 'it''s :no' from t where d = :si"
                                                << "select 'it''s :no' from t where d = ?" << QStringList{"si"};
    QTest::newRow("comments") << "select 1 -- :uno\n/* :dos */ from t where e = :tres"
                              << "select 1 -- :uno\n/* :dos */ from t where e = ?" << QStringList{"tres"};
    QTest::newRow("parameter at the end, digits in name") << "x=:P_COD_EMPR2" << "x=?" << QStringList{"P_COD_EMPR2"};
    QTest::newRow("lone colon and time-like text") << "a[1:2] = :b" << "a[1:2] = ?" << QStringList{"b"};
}

void TstSqlText::namedParams()
{
    QFETCH(QString, statement);
    QFETCH(QString, positional);
    QFETCH(QStringList, markers);

    const NamedParams params(statement);
    QCOMPARE(params.positionalStatement(), positional);
    QCOMPARE(params.markers(), markers);
}

// PostgreSQL gets its own numbered markers, and its escape strings hide no parameter.
void TstSqlText::namedParamsPostgres()
{
    const NamedParams params(QStringLiteral("where a = :x and b = E'\\':y' and c = :X"), SqlSyntax::Postgres);
    QCOMPARE(params.positionalStatement(), QStringLiteral("where a = $1 and b = E'\\':y' and c = $2"));
    QCOMPARE(params.markers(), (QStringList{"x", "X"}));
}

void TstSqlText::readGuard_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<SqlSyntax>("syntax");
    QTest::addColumn<QString>("refusal"); // part of the message; empty: allowed

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
        *row("replace into") << "replace into t values (1)" << syntax << "REPLACE";
        *row("vacuum") << "VACUUM" << syntax << "VACUUM";
        *row("transaction control") << "select 1 from t where 1 = 1 commit" << syntax << "COMMIT";
        *row("insert") << "INSERT INTO t (a) VALUES (9)" << syntax << "INSERT";
        *row("ddl") << "drop table t" << syntax << "DROP";
        *row("pragma") << "PRAGMA writable_schema = 1" << syntax << "PRAGMA";
        *row("attach") << "ATTACH DATABASE 'otra.db' AS otra" << syntax << "ATTACH";
        *row("select into a new table") << "select * into copia from t" << syntax << "INTO";
    }
    // PostgreSQL's own quoting: what it reads as code must be what the guard reads as code.
    const SqlSyntax pg = SqlSyntax::Postgres;
    QTest::newRow("pg: escape string hides nothing") << "select E'\\'' ; DELETE FROM t; select ''" << pg << "una sentencia";
    QTest::newRow("pg: escape string with a quote") << "select E'it\\'s; delete' from t" << pg << QString();
    QTest::newRow("pg: dollar quote ends where its tag does") << "select $q$'$q$ ; DELETE FROM t; select '" << pg << "una sentencia";
    QTest::newRow("pg: dollar quote keeps its text") << "select $q$ ; delete $x$ $q$ from t" << pg << QString();
    QTest::newRow("pg: dollar inside a name is no quote") << "select a$b from t where c = $1" << pg << QString();
    QTest::newRow("pg: unicode string") << "select U&'d\\0061t' ; DELETE FROM t" << pg << "una sentencia";
    QTest::newRow("pg: nested comment") << "select 1 /* /* */ ' */ ; DELETE FROM t; -- '" << pg << "una sentencia";
    // The same texts are harmless text to SQLite, which has none of those forms.
    const SqlSyntax lite = SqlSyntax::Sqlite;
    QTest::newRow("sqlite: nested comment is not nested") << "select 1 /* /* */ ' */ ; DELETE FROM t; -- '" << lite << QString();
    QTest::newRow("sqlite: bracket and backtick names") << "select [a;b], `c;d` from t" << lite << QString();
}

void TstSqlText::readGuard()
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

void TstSqlText::commaText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("joined");

    QTest::newRow("quoted codes") << "\"QBiHvext\",\"QBiEdfor\"" << QStringList{"QBiHvext", "QBiEdfor"}
                                  << "QBiHvext,QBiEdfor";
    QTest::newRow("blanks separate") << "a b,c" << QStringList{"a", "b", "c"} << "a,b,c";
    QTest::newRow("empty and blank items") << "\"\",\"C:\\Program Files\\x.exe\""
                                           << QStringList{"", "C:\\Program Files\\x.exe"}
                                           << "\"\",\"C:\\Program Files\\x.exe\"";
    QTest::newRow("quote inside") << "\"di \"\"hola\"\"\"" << QStringList{"di \"hola\""} << "\"di \"\"hola\"\"\"";
    QTest::newRow("trailing comma") << "a," << QStringList{"a", ""} << "a,\"\"";
}

void TstSqlText::commaText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    QFETCH(QString, joined);

    QCOMPARE(CommaText::split(text), items);
    QCOMPARE(CommaText::join(items), joined);
}

QTEST_APPLESS_MAIN(TstSqlText)
#include "tst_sqltext.moc"
