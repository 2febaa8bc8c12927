// Statement parameters: which ":name" tokens are parameters, the statement kept as lines and as
// CR LF text, and what re-reading the parameters keeps.
#include "Exceptions.h"
#include "SClientDataSet.h"
#include "NamedParams.h"

#include <QtTest>

using appserver::FieldType;

class TestSqlParams : public QObject {
    Q_OBJECT

private slots:
    void names_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("none") << "select * from ac_pprom" << QStringList{};
        QTest::newRow("two") << "where cod_empr = :P_COD_EMPR and cod_menu=:P_COD_MENU " << QStringList{"P_COD_EMPR", "P_COD_MENU"};
        QTest::newRow("repeated name is one") << "c.cod_empr = :codempr and x = (select max(f) from t where cod_empr = :codempr)" << QStringList{"codempr"};
        QTest::newRow("repeat in another case") << ":pCodEmpr + :PCODEMPR + :pcodmenu" << QStringList{"pCodEmpr", "pcodmenu"};
        QTest::newRow("single-quoted text") << "ind_acti = 'A:B' and x = ':no' and y = :si" << QStringList{"si"};
        QTest::newRow("doubled quote stays inside") << "nom = 'it''s :no' and y = :si" << QStringList{"si"};
        QTest::newRow("double-quoted name") << "select \"a:b\" from t where y = :si" << QStringList{"si"};
        QTest::newRow("cast") << "select cod_empr::text, :p::integer from t" << QStringList{"p"};
        QTest::newRow("assignment and time") << "x := 1, '10:30', :a_1" << QStringList{"a_1"};
        QTest::newRow("digits after colon") << "x = :1 or y = :b2" << QStringList{"b2"};
        QTest::newRow("across lines") << "where a = :x\r\nand b = :y\r\n" << QStringList{"x", "y"};
    }

    void names()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, names);
        QCOMPARE(appserver::NamedParams(sql).distinctNames(), names);
    }

    void commandTextFromLines_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("commandText");
        QTest::newRow("two lines") << QStringList{"select *", "from ac_pprom"} << "select *\r\nfrom ac_pprom\r\n";
        QTest::newRow("ends in an empty line") << QStringList{"order    by cod_nodo", ""} << "order    by cod_nodo\r\n\r\n";
        QTest::newRow("blanks kept") << QStringList{"and      cod_menu  =  :P_COD_MENU "} << "and      cod_menu  =  :P_COD_MENU \r\n";
        QTest::newRow("cleared") << QStringList{} << "";
    }

    void commandTextFromLines()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, commandText);
        SClientDataSet ds("Qry");
        ds.setSQL(lines);
        QCOMPARE(ds.CommandText(), commandText);
        QCOMPARE(ds.SQL(), lines);
    }

    void commandTextSetDirectlyIsKeptAsGiven()
    {
        SClientDataSet ds("CdsTemporal");
        ds.setSQL({"select 1"});
        ds.setCommandText("");
        ds.setCommandText("SELECT GRU_EMPR  FROM GN_EMPRE WHERE COD_EMPR = :CODEMPR ");
        QCOMPARE(ds.CommandText(), QString("SELECT GRU_EMPR  FROM GN_EMPRE WHERE COD_EMPR = :CODEMPR "));
        QCOMPARE(ds.SQL(), QStringList{"SELECT GRU_EMPR  FROM GN_EMPRE WHERE COD_EMPR = :CODEMPR "});
        QCOMPARE(ds.Params().Count(), 1);
        ds.ParamByName("codempr")->setAsSmallInt(3);
        QCOMPARE(ds.Params()[0]->DataType, FieldType::Smallint);
    }

    void newStatementKeepsDeclaredParameters()
    {
        SClientDataSet ds("QrySecuencial");
        ds.Params().CreateParam(FieldType::Smallint, "PCODEMPR", ptInput)->setAsVariant(5);
        ds.Params().CreateParam(FieldType::String, "GONE", ptInput);
        ds.setSQL({"select   max(cod_nodo) maximo from ac_pprom", "where  cod_empr  = :pCodEmpr",
                   "and      cod_menu = :pCodMenu"});
        QCOMPARE(ds.Params().Count(), 2);
        QCOMPARE(ds.ParamByName("pCodEmpr")->DataType, FieldType::Smallint);
        QCOMPARE(ds.ParamByName("pCodEmpr")->Value, QVariant(5));
        QCOMPARE(ds.ParamByName("PCODMENU")->DataType, FieldType::Unknown);
        QCOMPARE(ds.Params().FindParam("GONE"), nullptr);
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, ds.ParamByName("GONE"));
    }

    void declaredTypeConvertsAssignedValues()
    {
        SClientDataSet ds("Qry");
        TParam *param = ds.Params().CreateParam(FieldType::Smallint, "cod_empr");
        param->setAsVariant("12");
        QCOMPARE(param->Value, QVariant(12));
        QVERIFY_THROWS_EXCEPTION(EConvertError, param->setAsVariant("doce"));
        QVERIFY_THROWS_EXCEPTION(EConvertError, param->setAsSmallInt(40000));
        QCOMPARE(param->AsInteger(), 12);
    }
};

QTEST_GUILESS_MAIN(TestSqlParams)
#include "tst_sqlparams.moc"
