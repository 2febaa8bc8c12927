// The display formatter: numeric masks and the report formats under English and Spanish
// separators, and a field showing its value through its display format.

#include "DataSetFixtures.h"
#include "DisplayFormatter.h"

#include <QRegularExpression>
#include <QTest>

class TestDisplayFormatter : public QObject {
    Q_OBJECT
private slots:
    void formats_data();
    void formats();
    void fieldTexts();
};

void TestDisplayFormatter::formats_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("expected");

    const QString pct = QStringLiteral("#,##0.00 %");
    QTest::newRow("percentage") << pct << QVariant(62.9) << "en_US" << "62.90 %";
    QTest::newRow("percentage grouped") << pct << QVariant(1234.5) << "en_US" << "1,234.50 %";
    QTest::newRow("percentage spanish") << pct << QVariant(1234.5) << "es_ES" << "1.234,50 %";
    QTest::newRow("percentage negative") << pct << QVariant(-62.9) << "en_US" << "-62.90 %";
    QTest::newRow("percentage zero") << pct << QVariant(0.0) << "en_US" << "0.00 %";
    QTest::newRow("percentage rounds half away") << pct << QVariant(0.125) << "en_US" << "0.13 %";
    QTest::newRow("negative rounding to zero") << pct << QVariant(-0.001) << "en_US" << "0.00 %";
    QTest::newRow("null shows nothing") << pct << QVariant() << "en_US" << "";
    QTest::newRow("optional digits") << "###.##" << QVariant(0.5) << "en_US" << ".5";
    QTest::newRow("optional digits trimmed") << "##0.##" << QVariant(100.0) << "en_US" << "100";
    QTest::newRow("optional digits rounded") << "###.##" << QVariant(62.905) << "en_US" << "62.91";
    QTest::newRow("millions") << "#,##0" << QVariant(1234567) << "es_ES" << "1.234.567";
    QTest::newRow("negative section") << "0.00;(0.00)" << QVariant(-5.0) << "en_US" << "(5.00)";
    QTest::newRow("zero section") << "#.##;;'cero'" << QVariant(0.0) << "en_US" << "cero";
    QTest::newRow("quoted literal") << "0 'pts.'" << QVariant(7) << "en_US" << "7 pts.";
    QTest::newRow("report n") << "%2.2n" << QVariant(1234.5) << "en_US" << "1,234.50";
    QTest::newRow("report n spanish") << "%2.2n" << QVariant(87.5) << "es_ES" << "87,50";
    QTest::newRow("report n spanish grouped") << "%2.2n" << QVariant(1234.5) << "es_ES" << "1.234,50";
    QTest::newRow("report f") << "%2.2f" << QVariant(1234.5) << "en_US" << "1234.50";
    QTest::newRow("report f spanish negative") << "%2.2f" << QVariant(-3.456) << "es_ES" << "-3,46";
    QTest::newRow("report with text") << "[%2.2n] %" << QVariant(87.5) << "en_US" << "[87.50] %";
}

void TestDisplayFormatter::formats()
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
void TestDisplayFormatter::fieldTexts()
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
    QCOMPARE(ds->FieldByName(QStringLiteral("NOM_CARG"))->DisplayText(), QStringLiteral("Auxiliar"));
    QLocale::setDefault(QLocale::c());
}

QTEST_GUILESS_MAIN(TestDisplayFormatter)
#include "tst_displayformatter.moc"
