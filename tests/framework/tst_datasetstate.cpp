// States and the order of dataset events, and refusals that leave a row as typed.
#include "tests/framework/DataSetFixtures.h"
#include "tests/support/DataTable.h"
#include "framework/Exceptions.h"
#include "tests/support/TestTools.h"

#include <QtTest>

class TestDataSetState : public QObject {
    Q_OBJECT

private:
    QStringList m_events;

    void record(TDataSet &ds)
    {
        const std::pair<TDataSet::TDataSetNotifyEvent TDataSet::*, const char *> events[] = {
            {&TDataSet::BeforeOpen, "BeforeOpen"},     {&TDataSet::AfterOpen, "AfterOpen"},
            {&TDataSet::BeforeClose, "BeforeClose"},   {&TDataSet::AfterClose, "AfterClose"},
            {&TDataSet::BeforeInsert, "BeforeInsert"}, {&TDataSet::AfterInsert, "AfterInsert"},
            {&TDataSet::OnNewRecord, "OnNewRecord"},   {&TDataSet::BeforeEdit, "BeforeEdit"},
            {&TDataSet::AfterEdit, "AfterEdit"},       {&TDataSet::BeforePost, "BeforePost"},
            {&TDataSet::AfterPost, "AfterPost"},       {&TDataSet::BeforeCancel, "BeforeCancel"},
            {&TDataSet::AfterCancel, "AfterCancel"},   {&TDataSet::BeforeDelete, "BeforeDelete"},
            {&TDataSet::AfterDelete, "AfterDelete"},   {&TDataSet::BeforeScroll, "BeforeScroll"},
            {&TDataSet::AfterScroll, "AfterScroll"}};
        for (const auto &[member, name] : events) {
            const QString label = QLatin1String(name);
            ds.*member = [this, label](TDataSet *) { m_events << label; };
        }
    }

    static void run(TDataSet &ds, const QString &script)
    {
        for (const QString &step : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (step == "Open") ds.Open();
            else if (step == "Close") ds.Close();
            else if (step == "Append") ds.Append();
            else if (step == "Insert") ds.Insert();
            else if (step == "Edit") ds.Edit();
            else if (step == "Post") ds.Post();
            else if (step == "Cancel") ds.Cancel();
            else if (step == "Delete") ds.Delete();
            else if (step == "Next") ds.Next();
            else if (step == "Last") ds.Last();
            else if (step == "Set") ds.FieldByName("COD_CARG")->setAsString("NEW");
            else if (step == "LocateC2") ds.Locate("COD_CARG", "C2");
            else if (step == "LocateZZ") ds.Locate("COD_CARG", "ZZ");
            else QFAIL(qPrintable("unknown step " + step));
        }
    }

private slots:
    void eventOrder_data()
    {
        addColumns<QString, QString, int, int>({"script", "events", "state", "recordCount"});
        QTest::newRow("open") << "Close Open" << "BeforeClose AfterClose BeforeOpen AfterOpen AfterScroll" << int(dsBrowse) << 4;
        QTest::newRow("append, post") << "Append Set Post" << "BeforeInsert BeforeScroll OnNewRecord AfterInsert AfterScroll BeforePost AfterPost" << int(dsBrowse) << 5;
        QTest::newRow("append, cancel") << "Append Cancel" << "BeforeInsert BeforeScroll OnNewRecord AfterInsert AfterScroll BeforeCancel BeforeScroll AfterCancel AfterScroll" << int(dsBrowse) << 4;
        QTest::newRow("edit, post") << "Edit Set Post" << "BeforeEdit AfterEdit BeforePost AfterPost" << int(dsBrowse) << 4;
        QTest::newRow("edit, cancel") << "Edit Set Cancel" << "BeforeEdit AfterEdit BeforeCancel AfterCancel" << int(dsBrowse) << 4;
        QTest::newRow("edit twice") << "Edit Edit" << "BeforeEdit AfterEdit" << int(dsEdit) << 4;
        QTest::newRow("delete") << "Delete" << "BeforeDelete BeforeScroll AfterDelete AfterScroll" << int(dsBrowse) << 3;
        QTest::newRow("delete while inserting cancels") << "Append Delete" << "BeforeInsert BeforeScroll OnNewRecord AfterInsert AfterScroll BeforeCancel BeforeScroll AfterCancel AfterScroll" << int(dsBrowse) << 4;
        QTest::newRow("next at the end still scrolls") << "Last Next" << "BeforeScroll AfterScroll BeforeScroll AfterScroll" << int(dsBrowse) << 4;
        QTest::newRow("scroll posts a changed row") << "Edit Set Next" << "BeforeEdit AfterEdit BeforePost AfterPost BeforeScroll AfterScroll" << int(dsBrowse) << 4;
        QTest::newRow("scroll drops an untouched new row") << "Append Next" << "BeforeInsert BeforeScroll OnNewRecord AfterInsert AfterScroll BeforeCancel BeforeScroll AfterCancel AfterScroll BeforeScroll AfterScroll" << int(dsBrowse) << 4;
        QTest::newRow("locate found") << "LocateC2" << "BeforeScroll AfterScroll" << int(dsBrowse) << 4;
        QTest::newRow("locate not found") << "LocateZZ" << "BeforeScroll" << int(dsBrowse) << 4;
        QTest::newRow("post in browse does nothing") << "Post Cancel" << "" << int(dsBrowse) << 4;
    }

    void eventOrder()
    {
        QFETCH(QString, script);
        QFETCH(QString, events);
        QFETCH(int, state);
        QFETCH(int, recordCount);
        auto ds = fixtures::positions();
        record(*ds);
        m_events.clear();
        run(*ds, script);
        QCOMPARE(m_events.join(' '), events);
        QCOMPARE(int(ds->State()), state);
        QCOMPARE(ds->RecordCount(), recordCount);
    }

    // (A handler's refusal: the plan rules' save without a position.)
    void refusedPostKeepsTypedValues_data()
    {
        QTest::addColumn<bool>("inserting");
        QTest::newRow("insert") << true;
        QTest::newRow("edit") << false;
    }

    void refusedPostKeepsTypedValues()
    {
        QFETCH(bool, inserting);
        auto ds = fixtures::positions();
        ds->FieldByName("PUN_REQU")->Required = true;
        if (inserting) ds->Append(); else ds->Edit();
        ds->FieldByName("COD_CARG")->setAsString("X9");
        ds->FieldByName("PUN_REQU")->Clear();
        QCOMPARE(messageOf<Exception>([&] { ds->Post(); }), QString("CdsCargos: el campo 'PUN_REQU' debe tener un valor"));
        QCOMPARE(int(ds->State()), int(inserting ? dsInsert : dsEdit));
        QCOMPARE(ds->FieldByName("COD_CARG")->AsString(), QString("X9"));
        QCOMPARE(ds->RecordCount(), 4);
        ds->Cancel();
        QCOMPARE(fixtures::column(*ds, "COD_CARG"), QStringList({"C1", "C2", "C3", "c4"}));
    }

    // (In browse the refusal is checked on a calculated field in tst_fields.)
    void settingFieldsOfAClosedDataSet()
    {
        auto ds = fixtures::positions();
        ds->Close();
        QCOMPARE(messageOf<EDatabaseError>([&] { ds->FieldByName("COD_CARG")->setAsString("X"); }),
                 QString("CdsCargos: no se puede realizar esta operación en un conjunto de datos cerrado"));
    }

    void insertPlacesRowBeforeCurrent()
    {
        auto ds = fixtures::positions();
        ds->Next();
        ds->Insert();
        ds->FieldByName("COD_CARG")->setAsString("I1");
        ds->Post();
        QCOMPARE(ds->RecNo(), 2);
        QCOMPARE(fixtures::column(*ds, "COD_CARG"), QStringList({"C1", "I1", "C2", "C3", "c4"}));
    }
};

QTEST_GUILESS_MAIN(TestDataSetState)
#include "tst_datasetstate.moc"
