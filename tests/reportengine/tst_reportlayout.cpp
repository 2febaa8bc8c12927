// Layout files and view texts: what reads, what is refused and with which message, and how a
// text's expressions turn into printed text.

#include "tests/support/DataTable.h"
#include "reportengine/LayoutReader.h"
#include "reportengine/TextTemplate.h"

#include <QtTest>

using namespace report;

namespace {

// A one-page layout whose only band holds `view` (a JSON object's text).
QByteArray withView(const QString &view)
{
    return QStringLiteral("{\"name\": \"r\", \"pages\": [{\"name\": \"P\", \"paper\": \"Letter\", \"bands\": "
                          "[{\"kind\": \"masterData\", \"name\": \"B\", \"height\": 5, \"views\": [%1]}]}]}")
        .arg(view)
        .toUtf8();
}

QVariant testValue(const Expression &expression)
{
    switch (expression.kind) {
    case Expression::Field:
        if (expression.name == QLatin1String("PCT"))
            return 1234.5;
        if (expression.name == QLatin1String("NULO"))
            return QVariant();
        return QStringLiteral("%1.%2").arg(expression.dataSet, expression.name);
    case Expression::Page:
        return 3;
    case Expression::Count:
        return QStringLiteral("count of %1").arg(expression.name);
    case Expression::Variable:
        return QStringLiteral("var %1").arg(expression.name);
    case Expression::Date:
        return QDate(2026, 12, 6);
    case Expression::Time:
        return QTime(7, 5, 9);
    }
    return QVariant();
}

} // namespace

class TestReportLayout : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void refusedLayouts_data()
    {
        addColumns<QByteArray, QString>({"json", "message"});
        QTest::newRow("not json") << QByteArray("{\"name\": ") << QStringLiteral("not a layout: unterminated object at offset 9");
        QTest::newRow("no pages") << QByteArray("{\"name\": \"r\"}") << QStringLiteral("the layout has no page");
        QTest::newRow("paper") << QByteArray("{\"name\": \"r\", \"pages\": [{\"name\": \"P\", \"paper\": \"B5\"}]}")
                               << QStringLiteral("page P: paper must be Letter, A4 or [width, height]");
        QTest::newRow("band kind")
            << QByteArray("{\"name\": \"r\", \"pages\": [{\"name\": \"P\", \"paper\": \"Letter\", \"bands\": "
                          "[{\"kind\": \"detail\", \"name\": \"B\", \"height\": 5}]}]}")
            << QStringLiteral("page P, band B: unknown band kind \"detail\"");
        QTest::newRow("rect") << withView(QStringLiteral("{\"name\": \"V\", \"rect\": [1, 2, 3]}"))
                              << QStringLiteral("page P, band B, view V: rect must be [left, top, width, height]");
        QTest::newRow("expression")
            << withView(QStringLiteral("{\"name\": \"V\", \"rect\": [0, 0, 1, 1], \"text\": \"[a + b]\"}"))
            << QStringLiteral("page P, band B, view V: unknown expression [a + b]");
        QTest::newRow("picture")
            << withView(QStringLiteral("{\"kind\": \"picture\", \"name\": \"V\", \"rect\": [0, 0, 1, 1]}"))
            << QStringLiteral("page P, band B, view V: a picture needs a dataSet and a field");
    }

    void refusedLayouts()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, message);
        QString error;
        QVERIFY(!LayoutReader::read(json, &error));
        QCOMPARE(error, message);
    }

    void texts_data()
    {
        // number: the lone number an export keeps, or none
        addColumns<QString, QString, QString, QVariant, QString>({"text", "format", "printed", "number", "suffix"});

        QTest::newRow("literal") << "Nro. Registros:" << QString() << "Nro. Registros:" << QVariant() << QString();
        QTest::newRow("two fields") << "[Q.\"NOM\"] [Q.\"APE\"]" << QString() << "Q.NOM Q.APE" << QVariant() << QString();
        QTest::newRow("number with suffix") << "[Q.\"PCT\"] %" << "%2.2f" << "1234.50 %" << QVariant(1234.5) << " %";
        QTest::newRow("null prints nothing") << "<[Q.\"NULO\"]>" << QString() << "<>" << QVariant() << QString();
        QTest::newRow("page") << "Página: [PAGE#]" << QString() << "Página: 3" << QVariant(3) << QString();
        QTest::newRow("variable") << "[gStCargo]" << QString() << "var gStCargo" << QVariant() << QString();
        QTest::newRow("time") << "Hora: [TIME]" << QString() << "Hora: 07:05:09" << QVariant() << QString();
    }

    void texts()
    {
        QFETCH(QString, text);
        QFETCH(QString, format);
        QFETCH(QString, printed);
        QFETCH(QVariant, number);
        QFETCH(QString, suffix);
        const auto parsed = TextTemplate::parse(text);
        QVERIFY(parsed);
        const auto result = parsed->evaluate(testValue, format);
        QCOMPARE(result.text, printed);
        QCOMPARE(result.number, number);
        QCOMPARE(result.suffix, suffix);
    }

    void refusedTexts_data()
    {
        addColumns<QString, QString>({"text", "message"});
        QTest::newRow("unclosed") << "Página: [PAGE#" << "\"[\" without \"]\" in \"Página: [PAGE#\"";
        QTest::newRow("unquoted field") << "[Q.NOM]" << "unknown expression [Q.NOM]";
        QTest::newRow("empty") << "a [] b" << "unknown expression []";
    }

    void refusedTexts()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        QString error;
        QVERIFY(!TextTemplate::parse(text, &error));
        QCOMPARE(error, message);
    }
};

QTEST_GUILESS_MAIN(TestReportLayout)
#include "tst_reportlayout.moc"
