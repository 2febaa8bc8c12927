// The data module's datasets on the demo database: filters, the session new rows take, and the
// splitting of the main form's code lists. (A stale save: tst_serverapply and tst_remotedataset.)

#include "tests/support/DataTable.h"
#include "tests/data/ModuloPrueba.h"
#include "framework/dataset/TField.h"
#include "framework/dataset/TParam.h"
#include "tests/support/TestTools.h"

#include <QtTest>

class TestDataModule : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
    }

    void init()
    {
        m_station = std::make_unique<HeadlessWorkstation>(m_db.session(1), &m_form);
        m_module = &m_station->module;
    }

    void cleanup()
    {
        m_station.reset();
        m_module = nullptr;
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

    void newRowsTakeTheSession_data()
    {
        addColumns<QString, int>({"user", "company"});
        QTest::newRow("the workstation's own") << "ADMIN" << 1;
        QTest::newRow("another company, another user") << "CONSULTA" << 3;
    }

    // A new plan row belongs to the module's session: its company and its user (CodiUsua, which
    // the reports print too).
    void newRowsTakeTheSession()
    {
        QFETCH(QString, user);
        QFETCH(int, company);
        Session session = m_db.session(company);
        session.user = user;
        m_module->setSession(session);
        QCOMPARE(m_module->CodiUsua(), user);
        SClientDataSet &plan = m_module->QryAcPprom;
        plan.OnCalcFields = plan.AfterScroll = plan.AfterOpen = plan.BeforeInsert = nullptr;
        plan.Open();
        plan.Append();
        QCOMPARE(plan.FieldByName(QStringLiteral("COD_EMPR"))->AsInteger(), company);
        QCOMPARE(plan.FieldByName(QStringLiteral("COD_EMCA"))->AsInteger(), company);
        QCOMPARE(plan.FieldByName(QStringLiteral("ACT_USUA"))->AsString(), user);
        plan.Cancel();
    }

    void separarLista_data()
    {
        addColumns<QString, QStringList>({"text", "items"});
        QTest::newRow("two codes") << "'C1','C2'" << QStringList{"C1", "C2"};
        QTest::newRow("trailing comma gives an empty last item") << "'C1'," << QStringList{"C1", ""};
        QTest::newRow("blanks are kept") << "' 1', '2'" << QStringList{" 1", " 2"};
        QTest::newRow("empty text") << "" << QStringList{""};
    }

    void separarLista()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, items);
        QCOMPARE(TDtmAcSemaf::SepararLista(text), items);
    }

private:
    // Read straight from the database: the server runs only the module's own statements.
    QVariant scalar(const QString &statement) { return m_db.query(statement).value(0); }

    DemoDatabase m_db;
    FormaPrueba m_form;
    std::unique_ptr<HeadlessWorkstation> m_station;
    TDtmAcSemaf *m_module = nullptr;
};

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_datamodule.moc"
