// Field values: conversions, validation, calculated fields, and the display formatter's formats.
#include "tests/framework/DataSetFixtures.h"
#include "tests/support/DataTable.h"
#include "framework/DisplayFormatter.h"
#include "framework/Exceptions.h"
#include "tests/support/TestTools.h"

#include <QRegularExpression>
#include <QtTest>

using protocol::FieldType;

class TestFields : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }   // whatever a function before left

    void conversions_data()
    {
        // text: AsString afterwards
        addColumns<int, int, QVariant, QString, bool>({"type", "size", "input", "text", "isNull"});
        QTest::newRow("smallint from text") << int(FieldType::Smallint) << 0 << QVariant(" 12 ") << "12" << false;
        QTest::newRow("smallint from float rounds") << int(FieldType::Smallint) << 0 << QVariant(2.5) << "2" << false;
        QTest::newRow("whole float prints without decimals") << int(FieldType::Float) << 0 << QVariant(12345678.0) << "12345678" << false;
        QTest::newRow("text is cut to size") << int(FieldType::String) << 3 << QVariant("ABCDEF") << "ABC" << false;
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
        addColumns<int, QString, QVariant, QString>({"type", "good", "input", "message"});
        QTest::newRow("smallint out of range") << int(FieldType::Smallint) << "7" << QVariant(40000)
                                               << "El valor 40000 está fuera de rango (-32768 a 32767) (VALOR)";
        QTest::newRow("integer from decimal text") << int(FieldType::Integer) << "7" << QVariant("7.5")
                                                   << "'7.5' no es un valor entero válido (VALOR)";
        QTest::newRow("float from words") << int(FieldType::Float) << "7.5" << QVariant("1,5x")
                                          << "'1,5x' no es un valor numérico válido (VALOR)";
        QTest::newRow("date from words") << int(FieldType::DateTime) << "01/02/2024" << QVariant("ayer")
                                         << "'ayer' no es un valor de fecha válido (VALOR)";
    }

    void badConversionsThrowAndKeepTheValue()
    {
        QFETCH(int, type);
        QFETCH(QString, good);
        QFETCH(QVariant, input);
        QFETCH(QString, message);
        TClientDataSet ds("Cds");
        TField *field = ds.AddField("VALOR", FieldType(type));
        ds.CreateDataSet();
        ds.Append();
        field->setAsString(good);
        QCOMPARE(messageOf<EConvertError>([&] { field->setAsVariant(input); }), message);
        QCOMPARE(field->AsString(), good);
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
        QCOMPARE(messageOf([&] { cargo->setAsString("BAD"); }),
                 QString("Código de Cargo NO existe en la Base de Datos!!!"));
        QCOMPARE(messageOf([&] { cargo->setAsString("NESTED"); }), QString("no"));
        QCOMPARE(seen, QStringList({"OK1", "BAD", "NESTED"}));
        QCOMPARE(cargo->AsString(), QString("OK1"));
        QCOMPARE(nombre->AsString(), QString("por OK1"));
        QCOMPARE(changes, 1);
        QCOMPARE(int(ds->State()), int(dsEdit));
    }

    void calculatedFieldsFollowTheRow()
    {
        TClientDataSet ds("Cds");
        TField *code = ds.AddField("COD_CARG", FieldType::String, 6);
        TField *calc = ds.AddField("DtfNombre", FieldType::String, 20, "Nombre", fkCalculated);
        ds.OnCalcFields = [&](TDataSet *) { calc->setAsString("N-" + code->AsString()); };
        ds.CreateDataSet();
        for (const char *c : {"A", "B", "C"}) {
            ds.Append();
            code->setAsString(c);
            ds.Post();
        }
        ds.First();                      // row A was computed after its post
        QCOMPARE(calc->AsString(), QString("N-A"));
        ds.Next();
        QCOMPARE(calc->AsString(), QString("N-B"));
        QCOMPARE(ds.rowValue(2, calc).toString(), QString("N-C"));
        ds.Edit();
        code->setAsString("Z");          // a change of the row invalidates it
        QCOMPARE(calc->AsString(), QString("N-Z"));
        ds.Cancel();
        QCOMPARE(calc->AsString(), QString("N-B"));
        QCOMPARE(messageOf<EDatabaseError>([&] { calc->setAsString("x"); }), // not in browse
                 QString("Cds: el conjunto de datos no está en modo de edición o inserción (campo 'DtfNombre')"));
    }

    // Numeric masks and the report formats under English and Spanish separators.
    void formats_data()
    {
        addColumns<QString, QVariant, QString, QString>({"format", "value", "locale", "expected"});

        const QString pct = QStringLiteral("#,##0.00 %");
        QTest::newRow("percentage") << pct << QVariant(62.9) << "en_US" << "62.90 %";
        QTest::newRow("percentage spanish") << pct << QVariant(1234.5) << "es_ES" << "1.234,50 %";
        QTest::newRow("percentage rounds half away") << pct << QVariant(0.125) << "en_US" << "0.13 %";
        QTest::newRow("negative rounding to zero") << pct << QVariant(-0.001) << "en_US" << "0.00 %";
        QTest::newRow("null shows nothing") << pct << QVariant() << "en_US" << "";
        QTest::newRow("optional digits trimmed") << "##0.##" << QVariant(100.0) << "en_US" << "100";
        QTest::newRow("optional digits rounded") << "###.##" << QVariant(62.905) << "en_US" << "62.91";
        QTest::newRow("negative section") << "0.00;(0.00)" << QVariant(-5.0) << "en_US" << "(5.00)";
        QTest::newRow("zero section") << "#.##;;'cero'" << QVariant(0.0) << "en_US" << "cero";
        QTest::newRow("quoted literal") << "0 'pts.'" << QVariant(7) << "en_US" << "7 pts.";
        QTest::newRow("report n spanish grouped") << "%2.2n" << QVariant(1234.5) << "es_ES" << "1.234,50";
        QTest::newRow("report f spanish negative") << "%2.2f" << QVariant(-3.456) << "es_ES" << "-3,46";
        QTest::newRow("report with text") << "[%2.2n] %" << QVariant(87.5) << "en_US" << "[87.50] %";
    }

    void formats()
    {
        QFETCH(QString, format);
        QFETCH(QVariant, value);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        const QLocale workstation(locale);
        // The report engine's formats start their directive with a per cent sign and a width.
        const bool report = format.contains(QRegularExpression(QStringLiteral("%\\d")));
        const QString shown = report ? DisplayFormatter::formatPrintf(format, value.toDouble(), workstation)
                                     : DisplayFormatter::formatValue(format, value, workstation);
        QCOMPARE(shown, expected);
    }

    // A field shows its display format in grids and its edit format (or plain text) in edits.
    void fieldTexts()
    {
        QLocale::setDefault(QLocale(QStringLiteral("es_ES")));
        auto ds = fixtures::positions();
        TField *points = ds->FieldByName(QStringLiteral("PUN_REQU"));
        points->DisplayFormat = QStringLiteral("#,##0.00 %");
        QCOMPARE(points->DisplayText(), QStringLiteral("50,00 %"));
        QCOMPARE(points->EditText(), QStringLiteral("50"));
        points->EditFormat = QStringLiteral("0.0");
        QCOMPARE(points->EditText(), QStringLiteral("50,0"));
        ds->Next();
        ds->Next();
        QCOMPARE(points->DisplayText(), QString());  // null
    }
};

QTEST_GUILESS_MAIN(TestFields)
#include "tst_fields.moc"
