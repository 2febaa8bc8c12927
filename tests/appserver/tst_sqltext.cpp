// Reading statement text without a database: named parameters, the read-statement guard and
// comma text.

#include "CommaText.h"
#include "NamedParams.h"
#include "ReadStatementGuard.h"

#include <QtTest>

using namespace appserver;

class TstSqlText : public QObject {
    Q_OBJECT
private slots:
    void namedParams_data();
    void namedParams();
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

void TstSqlText::readGuard_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("allowed");

    QTest::newRow("select") << "select * from ac_pprom\r\nwhere cod_empr = :p\r\n\r\n" << true;
    QTest::newRow("with select") << "WITH a AS (SELECT 1 x) SELECT x FROM a" << true;
    QTest::newRow("trailing semicolon") << "select 1 ;" << true;
    QTest::newRow("keyword inside text") << "select 'delete; drop table x' from t" << true;
    QTest::newRow("keyword inside comment") << "select 1 -- insert into x\nfrom t" << true;
    QTest::newRow("column that contains a keyword") << "select UPDATED_AT, INSERTS from t" << true;
    QTest::newRow("second statement") << "select 1; select 2" << false;
    QTest::newRow("for update") << "select * from t for update" << false;
    QTest::newRow("replace into") << "replace into t values (1)" << false;
    QTest::newRow("vacuum") << "VACUUM" << false;
}

void TstSqlText::readGuard()
{
    QFETCH(QString, statement);
    QFETCH(bool, allowed);

    const QString refusal = ReadStatementGuard::check(statement);
    QCOMPARE(refusal.isEmpty(), allowed);
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
