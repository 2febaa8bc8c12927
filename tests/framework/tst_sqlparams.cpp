// Statement parameters of a dataset: the statement kept as lines and as CR LF text, and what
// re-reading the parameters keeps. Which ":name" tokens are parameters is read in tst_sqltext.
#include "Exceptions.h"
#include "SClientDataSet.h"

#include <QtTest>

using appserver::FieldType;

class TestSqlParams : public QObject {
    Q_OBJECT

private slots:
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
