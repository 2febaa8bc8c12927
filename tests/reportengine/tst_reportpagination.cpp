// Layout files and view texts (what reads, what is refused, the text printed), and a list report's
// sheets without a printer: where every band lands, repeated or once.

#include "tests/support/DataTable.h"
#include "tests/reportengine/ReportFixtures.h"
#include "reportengine/LayoutReader.h"
#include "reportengine/TextTemplate.h"

#include "framework/dataset/TField.h"
#include "tests/support/TestTools.h"

#include <QSet>
#include <QtTest>

using namespace report;
using reporttest::BoundReport;

namespace {

// Letter with margins of 10: a 4 mm footer, rows under a 25 mm page and a 9 mm column header.
constexpr double kFooterTop = 265.4;
constexpr double kFirstRowTop = 44;

QStringList textsOf(const PreparedPage &page, const QString &band)
{
    QStringList texts;
    for (const PreparedItem &item : page.items)
        if (item.band == band && item.view->kind == ViewKind::Text)
            texts << item.text;
    return texts;
}

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

class TestReportPagination : public QObject {
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
        QTest::newRow("expression")
            << withView(QStringLiteral("{\"name\": \"V\", \"rect\": [0, 0, 1, 1], \"text\": \"[a + b]\"}"))
            << QStringLiteral("page P, band B, view V: unknown expression [a + b]");
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

    void sheets_data()
    {
        addColumns<int, QList<int>>({"rows", "rowsPerSheet"});
        // 44 rows fill a sheet; the summary (10 mm) fits under at most 42.
        QTest::newRow("none") << 0 << QList<int>{0};
        QTest::newRow("summary just fits") << 42 << QList<int>{42};
        QTest::newRow("summary moves on") << 43 << QList<int>{43, 0};
        QTest::newRow("three sheets") << 130 << QList<int>{44, 44, 42};
    }

    void sheets()
    {
        QFETCH(int, rows);
        QFETCH(QList<int>, rowsPerSheet);
        BoundReport bound(QStringLiteral("list"), rows);
        QSet<int> scrolledTo;   // the rows are walked as a form's handler sees them
        bound.rows->AfterScroll = [&](TDataSet *dataSet) {
            if (!dataSet->Eof())
                scrolledTo << dataSet->FieldByName(QStringLiteral("CODE"))->AsInteger();
        };
        const PreparedReport prepared = bound.report.prepare();
        QCOMPARE(prepared.pageCount(), rowsPerSheet.size());

        int row = 0;
        for (int p = 0; p < prepared.pageCount(); ++p) {
            const PreparedPage &page = prepared.pages.at(p);
            QCOMPARE(page.bandsNamed(QStringLiteral("PageHeader1")).size(), 1);
            QCOMPARE(textsOf(page, QStringLiteral("PageHeader1")),
                     (QStringList{"Compañía Análisis S.A.", QStringLiteral("Página: %1").arg(p + 1), "Jefe de Operación"}));
            const auto footer = page.bandsNamed(QStringLiteral("PageFooter1"));
            QCOMPARE(footer.size(), 1);
            QCOMPARE(footer.first().rect.top(), kFooterTop);
            QCOMPARE(textsOf(page, QStringLiteral("PageFooter1")), QStringList{"Usuario: ADMIN"});

            const auto masters = page.bandsNamed(QStringLiteral("MasterData1"));
            QCOMPARE(masters.size(), rowsPerSheet.at(p));
            // Above the rows of every sheet, and on the first even without any.
            const auto columns = page.bandsNamed(QStringLiteral("Header1"));
            QCOMPARE(columns.size(), masters.isEmpty() && p > 0 ? 0 : 1);
            if (!columns.isEmpty())
                QCOMPARE(columns.first().rect.top(), 35.0);
            for (int m = 0; m < masters.size(); ++m) {
                QCOMPARE(masters.at(m).rect.top(), kFirstRowTop + 5 * m);
                QVERIFY(masters.at(m).rect.bottom() <= kFooterTop);
            }
            QStringList names;
            for (const PreparedItem &item : page.items)
                if (item.band == QLatin1String("MasterData1") && item.view->name == QLatin1String("C2"))
                    names << item.text;
            for (const QString &name : names)
                QCOMPARE(name, reporttest::rowName(++row));

            const auto summary = page.bandsNamed(QStringLiteral("Summary1"));
            QCOMPARE(summary.size(), p == prepared.pageCount() - 1 ? 1 : 0);
        }
        QCOMPARE(row, rows);
        QCOMPARE(scrolledTo.size(), rows);   // the codes are 1 to rows: each of them
        const PreparedPage &last = prepared.pages.last();
        QCOMPARE(textsOf(last, QStringLiteral("Summary1")), (QStringList{"Nro. Registros:", QString::number(rows)}));
        QVERIFY(last.bandsNamed(QStringLiteral("Summary1")).first().rect.bottom() <= kFooterTop);
    }

    // Each page of the layout is filled on its own (orientations: tst_reportexport).
    void everyPageOfTheLayout()
    {
        BoundReport bound(QStringLiteral("twopages"), 3);
        const PreparedReport prepared = bound.report.prepare();
        QCOMPARE(prepared.pageCount(), 2);
        QCOMPARE(prepared.pages.at(0).bandsNamed(QStringLiteral("Detail1")).size(), 3);
        QCOMPARE(prepared.pages.at(0).bandsNamed(QStringLiteral("Once1")).size(), 1);
        const PreparedItem &chart = prepared.pages.at(1).items.at(1);
        QCOMPARE(chart.chart.labels, (QStringList{reporttest::rowName(1), reporttest::rowName(2), reporttest::rowName(3)}));
        QCOMPARE(chart.chart.values, (QList<QList<double>>{{12.5, 25, 37.5}, {1, 2, 3}}));
    }

    void refusals_data()
    {
        addColumns<QString, QString>({"fault", "message"});
        QTest::newRow("unbound") << "unbound" << "No se puede preparar el reporte: no tiene el conjunto de datos \"Rows\".";
        QTest::newRow("field") << "field" << "No se puede preparar el reporte: el conjunto de datos \"Company\" no tiene el campo \"LOGO\".";
    }

    void refusals()
    {
        QFETCH(QString, fault);
        QFETCH(QString, message);
        BoundReport bound(QStringLiteral("list"), 3);
        const auto withoutLogo = reporttest::numberedRows(1);
        if (fault == QLatin1String("unbound"))
            bound.report.setDataSet(QStringLiteral("Rows"), nullptr);
        else
            bound.report.setDataSet(QStringLiteral("Company"), withoutLogo.get());
        QCOMPARE(messageOf([&] { bound.report.prepare(); }), message);
    }
};

QTEST_MAIN(TestReportPagination)
#include "tst_reportpagination.moc"
