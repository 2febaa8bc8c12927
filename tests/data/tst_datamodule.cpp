// The data module's datasets against the demo database, through the connection the module uses:
// every dataset opens with its fields, filters, parameters bound at every occurrence, and a save
// refused by the server keeping the row as typed. The server's own refusals and the row changes a
// dataset sends are tested where they are made (server core, remote dataset).

#include "DataTable.h"
#include "ModuloPrueba.h"
#include "TField.h"
#include "TParam.h"
#include "TestTools.h"

#include <QtTest>

class TestDataModule : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        m_db.startSession(1);
        init();
        m_employee = scalar(QStringLiteral(
            "select min(c.cod_empl) from nm_contr c where c.cod_empr = 1 and c.ind_acti = 'A'"
            " and exists (select 1 from bi_dtpef f where f.cod_empr = 1 and f.cod_empl = c.cod_empl)"
            " and exists (select 1 from bi_dtphv h where h.cod_empr = 1 and h.cod_empl = c.cod_empl)"
            " and exists (select 1 from ed_3ccom e where e.cod_empr = 1 and e.cod_empl = c.cod_empl)"));
        m_position = scalar(QStringLiteral("select min(cod_carg) from nm_contr where cod_empr = 1 and ind_acti = 'A'"))
                         .toString();
        cleanup();
        QVERIFY(!m_employee.isNull());
        QVERIFY(!m_position.isEmpty());
    }

    void init()
    {
        m_station = std::make_unique<HeadlessWorkstation>(&m_form);
        m_module = &m_station->module;
    }

    void cleanup()
    {
        m_station.reset();
        m_module = nullptr;
    }

    void everyDataSetOpens_data()
    {
        addColumns<QString, QVariantMap, QStringList>({"dataSet", "params", "filledColumns"});

        const QVariantMap employee{{"COD_EMPR", 1}, {"COD_EMPL", QStringLiteral("$employee")}};
        QTest::newRow("plan nodes") << "QryAcPprom" << QVariantMap{} << QStringList{"COD_EMPR", "COD_MENU", "NOM_MENU"};
        QTest::newRow("positions") << "QryBiCargo" << QVariantMap{} << QStringList{"COD_CARG", "NOM_CARG"};
        QTest::newRow("position combo") << "QryEmpCarg" << QVariantMap{} << QStringList{"COD_CARG", "NOM_CARG"};
        QTest::newRow("tree nodes") << "QryGrafico" << QVariantMap{{"P_COD_EMPR", 1}, {"P_COD_MENU", 1}}
                                    << QStringList{"COD_NODO", "COD_NODP", "COD_CARG", "COD_EMCA"};
        QTest::newRow("highest node") << "QrySecuencial" << QVariantMap{{"pCodEmpr", 1}, {"pCodMenu", 1}}
                                      << QStringList{"maximo"};
        QTest::newRow("children of the header") << "QryValNodo"
                                                << QVariantMap{{"psm_codempr", 1}, {"psm_codmenu", 1}, {"psm_codnodp", 0}}
                                                << QStringList{"COD_NODO", "COD_CARG"};
        QTest::newRow("employees") << "QryEmpleado" << QVariantMap{{"P_COD_EMPR", 1}}
                                   << QStringList{"cod_empl", "nom_empl", "ape_empl", "cod_carg"};
        QTest::newRow("position level") << "QryCargo" << QVariantMap{{"pcodempr", 1}, {"pcodcarg", "$position"}}
                                        << QStringList{"COD_NIVE", "PUN_REQU"};
        QTest::newRow("holders") << "QryNmContr" << QVariantMap{{"cod_empr", 1}, {"COD_CARG", "$position"}}
                                 << QStringList{"COD_EMPL", "APE_EMPL", "NOM_EMPL"};
        QTest::newRow("formal education") << "QryBiDtpef" << employee << QStringList{"COD_REQU", "TIP_REGI", "PUN_OBTE"};
        QTest::newRow("non-formal education") << "QryBiDtpnf" << employee << QStringList{"COD_REQU", "TIP_REGI"};
        QTest::newRow("work experience") << "QryBidtphv" << employee << QStringList{"COD_REQU", "TIP_REGI", "PUN_OBTE"};
        QTest::newRow("evaluations") << "QryEd3licc" << QVariantMap{{"codempl", "$employee"}, {"codempr", 1}}
                                     << QStringList{"RMT_LICC"};
        QTest::newRow("report header") << "QryGnEmpre" << QVariantMap{{"P_COD_EMPR", 1}}
                                       << QStringList{"NOM_EMPR", "NIT_EMPR"};
        QTest::newRow("contracts of an employee") << "QryNmConCa"
                                                  << QVariantMap{{"cod_empr", 1}, {"COD_EMPL", "$employee"}}
                                                  << QStringList{"COD_EMPR", "COD_CARG"};
        QTest::newRow("feature flag") << "QryGnNexof"
                                      << QVariantMap{{"PCODVARI", "Q0000190"}, {"PCODPAIS", 170}, {"PCODEMPR", 2}}
                                      << QStringList{"VAL_VARI", "TIP_DATO"};
    }

    void everyDataSetOpens()
    {
        QFETCH(QString, dataSet);
        QFETCH(QVariantMap, params);
        QFETCH(QStringList, filledColumns);

        SClientDataSet *target = m_module->remoteDataSet(dataSet);
        QVERIFY(target);
        target->Close();
        for (auto it = params.cbegin(); it != params.cend(); ++it) {
            QVariant value = it.value();
            if (value == QStringLiteral("$employee"))
                value = m_employee;
            else if (value == QStringLiteral("$position"))
                value = m_position;
            target->ParamByName(it.key())->setAsVariant(value);
        }
        QCOMPARE(messageOf([&] { target->Open(); }), QString());
        QVERIFY2(!target->IsEmpty(), qPrintable(dataSet));
        for (const QString &column : filledColumns)
            QVERIFY2(!target->FieldByName(column)->IsNull(), qPrintable(dataSet + '.' + column));
    }

    void filtersHideCompanyZero_data()
    {
        addColumns<QString, QString, QVariantMap>({"dataSet", "table", "params"});
        QTest::newRow("plan nodes") << "QryAcPprom" << "ac_pprom" << QVariantMap{};
        QTest::newRow("positions") << "QryBiCargo" << "bi_cargo" << QVariantMap{};
        QTest::newRow("position combo") << "QryEmpCarg" << "bi_cargo" << QVariantMap{};
        QTest::newRow("replacement rows") << "QryAcCuare" << "ac_cuare"
                                          << QVariantMap{{"cod_empr", 0}, {"cod_menu", "$menu"}, {"cod_nodo", "$node"}};
        QTest::newRow("children") << "QryValNodo" << "ac_pprom"
                                  << QVariantMap{{"psm_codempr", 0}, {"psm_codmenu", "$menu"}, {"psm_codnodp", 0}};
    }

    void filtersHideCompanyZero()
    {
        QFETCH(QString, dataSet);
        QFETCH(QString, table);
        QFETCH(QVariantMap, params);

        const QString where = QStringLiteral(" from %1 where cod_empr = 0").arg(table);
        QVERIFY2(scalar(QStringLiteral("select count(*)") + where).toInt() > 0, "the demo keeps company-0 rows");
        const bool planTable = table.startsWith(QLatin1String("ac_"));
        const QVariant menu = planTable ? scalar(QStringLiteral("select min(cod_menu)") + where) : QVariant();
        const QVariant node = planTable ? scalar(QStringLiteral("select min(cod_nodo)") + where) : QVariant();

        SClientDataSet *target = m_module->remoteDataSet(dataSet);
        target->Close();
        for (auto it = params.cbegin(); it != params.cend(); ++it) {
            const QVariant value = it.value() == QStringLiteral("$menu") ? menu
                                 : it.value() == QStringLiteral("$node") ? node : it.value();
            target->ParamByName(it.key())->setAsVariant(value);
        }
        target->Open();
        QVERIFY(!target->Locate(QStringLiteral("COD_EMPR"), 0));
        for (target->First(); !target->Eof(); target->Next())
            QVERIFY(target->FieldByName(QStringLiteral("COD_EMPR"))->AsInteger() > 0);
    }

    void highestNodeOfEmptyPlanIsNull()
    {
        SClientDataSet &highest = m_module->QrySecuencial;
        highest.Close();
        highest.ParamByName(QStringLiteral("pCodEmpr"))->setAsInteger(1);
        highest.ParamByName(QStringLiteral("pCodMenu"))->setAsInteger(987);
        highest.Open();
        QCOMPARE(highest.RecordCount(), 1);
        QVERIFY(highest.FieldByName(QStringLiteral("maximo"))->IsNull());
    }

    void repeatedParametersBoundEverywhere()
    {
        SClientDataSet &lines = m_module->QryEd3dlcc;
        lines.Close();
        lines.ParamByName(QStringLiteral("codempr"))->setAsInteger(1);
        lines.ParamByName(QStringLiteral("codempl"))->setAsVariant(m_employee);
        lines.Open();
        const int expected = scalar(QStringLiteral(
            "select count(*) from ed_3ccom c, ed_d3cco d where c.cod_empr = 1 and c.cod_empl = %1"
            " and c.fec_desd = (select max(fec_desd) from ed_3ccom where cod_empr = 1 and cod_empl = %1)"
            " and d.cod_empr = c.cod_empr and d.rmt_3cco = c.rmt_3cco").arg(m_employee.toString())).toInt();
        QVERIFY(expected > 0);
        QCOMPARE(lines.RecordCount(), expected);
    }

    // Another workstation saved the row meanwhile: the server's refusal reaches the user and the row
    // stays in edit with what was typed.
    void staleUpdateRefusedRowStaysInEdit()
    {
        SClientDataSet &mine = m_module->QryAcPprom;
        mine.OnCalcFields = mine.AfterScroll = mine.AfterOpen = mine.AfterEdit = mine.BeforePost = nullptr;
        mine.Open();
        QVERIFY(mine.Locate(QStringLiteral("COD_EMPR;COD_MENU;COD_NODO"), QVariantList{1, 1, 1}));

        HeadlessWorkstation other;
        SClientDataSet &theirs = other.module.QryAcPprom;
        theirs.OnCalcFields = theirs.AfterScroll = theirs.AfterOpen = theirs.AfterEdit = theirs.BeforePost = nullptr;
        theirs.Open();
        QVERIFY(theirs.Locate(QStringLiteral("COD_EMPR;COD_MENU;COD_NODO"), QVariantList{1, 1, 1}));
        theirs.Edit();
        theirs.FieldByName(QStringLiteral("NOM_MENU"))->setAsString(QStringLiteral("Cambiado por otro"));
        theirs.Post();

        mine.Edit();
        mine.FieldByName(QStringLiteral("NOM_MENU"))->setAsString(QStringLiteral("Mi cambio"));
        const QString refusal = messageOf([&] { mine.Post(); });
        QVERIFY2(refusal.contains(QStringLiteral("modificado o eliminado por otro usuario")), qPrintable(refusal));
        QCOMPARE(mine.State(), dsEdit);
        QCOMPARE(mine.FieldByName(QStringLiteral("NOM_MENU"))->AsString(), QStringLiteral("Mi cambio"));
        mine.Cancel();
    }

private:
    QVariant scalar(const QString &statement)
    {
        SClientDataSet &scratch = m_station->scratch;
        scratch.Close();
        scratch.setCommandText(statement);
        scratch.Open();
        return scratch.Fields().first()->AsVariant();
    }

    DemoDatabase m_db;
    FormaPrueba m_form;
    std::unique_ptr<HeadlessWorkstation> m_station;
    TDtmAcSemaf *m_module = nullptr;
    QVariant m_employee;   // an active employee of company 1 with records in every category
    QString m_position;    // a position of company 1 with active holders
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_datamodule.moc"
