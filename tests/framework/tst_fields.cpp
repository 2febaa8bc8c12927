// Field values: conversions, validation that refuses an assignment, calculated fields computed
// once per row, and look-up fields.
#include "DataSetFixtures.h"
#include "Exceptions.h"
#include "TestTools.h"

#include <QtTest>

using appserver::FieldType;

class TestFields : public QObject {
    Q_OBJECT

private slots:
    void conversions_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("size");
        QTest::addColumn<QVariant>("input");
        QTest::addColumn<QString>("text");   // AsString afterwards
        QTest::addColumn<bool>("isNull");
        QTest::newRow("smallint from text") << int(FieldType::Smallint) << 0 << QVariant(" 12 ") << "12" << false;
        QTest::newRow("smallint from float rounds") << int(FieldType::Smallint) << 0 << QVariant(2.5) << "2" << false;
        QTest::newRow("whole float prints without decimals") << int(FieldType::Float) << 0 << QVariant(12345678.0) << "12345678" << false;
        QTest::newRow("float") << int(FieldType::Float) << 0 << QVariant("66.67") << "66.67" << false;
        QTest::newRow("text is cut to size") << int(FieldType::String) << 3 << QVariant("ABCDEF") << "ABC" << false;
        QTest::newRow("empty text clears") << int(FieldType::String) << 10 << QVariant("") << "" << true;
        QTest::newRow("empty text clears a number") << int(FieldType::Float) << 0 << QVariant("") << "" << true;
        QTest::newRow("date") << int(FieldType::DateTime) << 0 << QVariant("2024-02-29") << "29/02/2024" << false;
        QTest::newRow("date and time") << int(FieldType::DateTime) << 0 << QVariant("2024-02-29 10:30:00") << "29/02/2024 10:30:00" << false;
    }

    void conversions()
    {
        QFETCH(int, type);
        QFETCH(int, size);
        QFETCH(QVariant, input);
        QFETCH(QString, text);
        QFETCH(bool, isNull);
        TClientDataSet ds("Cds");
        TField *field = ds.AddField("VALOR", FieldType(type), size);
        ds.CreateDataSet();
        ds.Append();
        field->setAsVariant(input);
        QCOMPARE(field->AsString(), text);
        QCOMPARE(field->IsNull(), isNull);
    }

    void badConversionsThrowAndKeepTheValue_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("good");
        QTest::addColumn<QVariant>("input");
        QTest::newRow("smallint out of range") << int(FieldType::Smallint) << "7" << QVariant(40000);
        QTest::newRow("smallint from words") << int(FieldType::Smallint) << "7" << QVariant("doce");
        QTest::newRow("integer from decimal text") << int(FieldType::Integer) << "7" << QVariant("7.5");
        QTest::newRow("float from words") << int(FieldType::Float) << "7.5" << QVariant("1,5x");
        QTest::newRow("date from words") << int(FieldType::DateTime) << "01/02/2024" << QVariant("ayer");
    }

    void badConversionsThrowAndKeepTheValue()
    {
        QFETCH(int, type);
        QFETCH(QString, good);
        QFETCH(QVariant, input);
        TClientDataSet ds("Cds");
        TField *field = ds.AddField("VALOR", FieldType(type));
        ds.CreateDataSet();
        ds.Append();
        field->setAsString(good);
        QVERIFY_THROWS_EXCEPTION(EConvertError, field->setAsVariant(input));
        QCOMPARE(field->AsString(), good);
    }

    void asIntegerOfTextThatIsNoNumber()
    {
        auto ds = fixtures::positions();
        const QString refusal = messageOf<EConvertError>([&] { ds->FieldByName("COD_CARG")->AsInteger(); });
        QVERIFY2(refusal.contains("'C1'"), qPrintable(refusal));
        QCOMPARE(ds->FieldByName("PUN_REQU")->AsInteger(), 50);
    }

    void fieldByNameNamesFieldAndDataSet()
    {
        auto ds = fixtures::positions();
        QCOMPARE(ds->FieldByName("cod_carg"), ds->FindField("COD_CARG"));
        QCOMPARE(ds->FindField("NO_SUCH"), nullptr);
        const QString refusal = messageOf<EDatabaseError>([&] { ds->FieldByName("NO_SUCH"); });
        QVERIFY2(refusal.contains("NO_SUCH") && refusal.contains("CdsCargos"), qPrintable(refusal));
    }

    void onValidateSeesNewValueAndRefusalKeepsOld()
    {
        auto ds = fixtures::positions();
        TField *cargo = ds->FieldByName("COD_CARG");
        TField *nombre = ds->FieldByName("NOM_CARG");
        QStringList seen;
        cargo->OnValidate = [&](TField *f) {
            seen << f->AsString();
            if (f->AsString() == "BAD")
                throw Exception("Código de Cargo NO existe en la Base de Datos!!!");
            nombre->setAsString("por " + f->AsString());
        };
        // A refusal of the nested assignment refuses the outer one too.
        nombre->OnValidate = [](TField *f) {
            if (f->AsString() == "por NESTED")
                throw Exception("no");
        };
        int changes = 0;
        cargo->OnChange = [&](TField *) { ++changes; };
        ds->Edit();
        cargo->setAsString("OK1");
        QVERIFY_THROWS_EXCEPTION(Exception, cargo->setAsString("BAD"));
        QVERIFY_THROWS_EXCEPTION(Exception, cargo->setAsString("NESTED"));
        QCOMPARE(seen, QStringList({"OK1", "BAD", "NESTED"}));
        QCOMPARE(cargo->AsString(), QString("OK1"));
        QCOMPARE(nombre->AsString(), QString("por OK1"));
        QCOMPARE(changes, 1);
        QCOMPARE(int(ds->State()), int(dsEdit));
    }

    void calculatedFieldsAreComputedOncePerRow()
    {
        TClientDataSet ds("Cds");
        TField *code = ds.AddField("COD_CARG", FieldType::String, 6);
        TField *calc = ds.AddField("DtfNombre", FieldType::String, 20, "Nombre", fkCalculated);
        int runs = 0;
        ds.OnCalcFields = [&](TDataSet *) {
            ++runs;
            calc->setAsString("N-" + code->AsString());
        };
        ds.CreateDataSet();
        for (const char *c : {"A", "B", "C"}) {
            ds.Append();
            code->setAsString(c);
            ds.Post();
        }
        runs = 0;
        ds.First();                      // row A was computed after its post
        QCOMPARE(calc->AsString(), QString("N-A"));
        ds.Next();
        ds.Prior();
        ds.Next();
        QCOMPARE(calc->AsString(), QString("N-B"));
        QCOMPARE(runs, 0);               // cached since the rows were posted
        QCOMPARE(ds.rowValue(2, calc).toString(), QString("N-C"));
        ds.Edit();
        code->setAsString("Z");          // a change of the row invalidates it
        QCOMPARE(calc->AsString(), QString("N-Z"));
        QCOMPARE(runs, 1);
        ds.Cancel();
        QCOMPARE(calc->AsString(), QString("N-B"));
        QVERIFY_THROWS_EXCEPTION(EDatabaseError, calc->setAsString("x")); // not in browse
    }

    void lookupField()
    {
        TClientDataSet companies("CdsGnEmpre");
        companies.AddField("COD_EMPR", FieldType::Smallint);
        companies.AddField("NOM_EMPR", FieldType::String, 40);
        companies.CreateDataSet();
        for (const QVariantList &row : {QVariantList{1, "Uno S.A."}, QVariantList{2, "Dos Ltda."}}) {
            companies.Append();
            companies.Fields().at(0)->setAsVariant(row.at(0));
            companies.Fields().at(1)->setAsVariant(row.at(1));
            companies.Post();
        }
        companies.First();

        auto plans = fixtures::positions();
        plans->Close();
        TField *name = plans->AddField("DtfNmbEmpresa", FieldType::String, 100, "Nombre Empresa", fkLookup);
        name->LookupDataSet = &companies;
        name->KeyFields = "cod_empr";
        name->LookupKeyFields = "COD_EMPR";
        name->LookupResultField = "NOM_EMPR";
        plans->CreateDataSet();
        plans->Append();
        plans->FieldByName("COD_EMPR")->setAsInteger(2);
        plans->Post();
        QCOMPARE(name->AsString(), QString("Dos Ltda."));
        plans->Append();
        plans->FieldByName("COD_EMPR")->setAsInteger(7);
        plans->Post();
        QVERIFY(name->IsNull());
        QCOMPARE(companies.RecNo(), 1); // the look-up does not move the other dataset
    }
};

QTEST_GUILESS_MAIN(TestFields)
#include "tst_fields.moc"
