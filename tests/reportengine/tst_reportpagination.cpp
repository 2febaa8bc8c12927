// Laid-out pages of a list report, checked without a printer: how many sheets, where every band
// lands in millimetres, headers and footers repeated on every sheet, the summary once.

#include "tests/support/DataTable.h"
#include "tests/reportengine/ReportFixtures.h"

#include "framework/dataset/TField.h"
#include "tests/support/TestTools.h"

#include <QSet>
#include <QtTest>

using namespace report;
using reporttest::BoundReport;

namespace {

// Letter, margins 10: the page footer (4 mm) starts at 279.4 - 10 - 4 mm; rows start under the
// page header (25 mm) and the column header (9 mm).
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

} // namespace

class TestReportPagination : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

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
            QCOMPARE(page.size, QSizeF(215.9, 279.4));
            const auto header = page.bandsNamed(QStringLiteral("PageHeader1"));
            QCOMPARE(header.size(), 1);
            QCOMPARE(header.first().rect, QRectF(10, 10, 195.9, 25));
            QCOMPARE(textsOf(page, QStringLiteral("PageHeader1")),
                     (QStringList{"Compañía Análisis S.A.", QStringLiteral("Página: %1").arg(p + 1), "Jefe de Operación"}));
            const auto footer = page.bandsNamed(QStringLiteral("PageFooter1"));
            QCOMPARE(footer.size(), 1);
            QCOMPARE(footer.first().rect.top(), kFooterTop);
            QCOMPARE(textsOf(page, QStringLiteral("PageFooter1")), QStringList{"Usuario: ADMIN"});

            const auto masters = page.bandsNamed(QStringLiteral("MasterData1"));
            QCOMPARE(masters.size(), rowsPerSheet.at(p));
            // The column header stands above the rows of every sheet that has rows (and on the
            // first sheet even without any).
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

    // Each page of the layout is filled on its own (their orientations are read from the PDF in
    // tst_reportexport).
    void everyPageOfTheLayout()
    {
        BoundReport bound(QStringLiteral("twopages"), 3);
        const PreparedReport prepared = bound.report.prepare();
        QCOMPARE(prepared.pageCount(), 2);
        QCOMPARE(prepared.pages.at(0).bandsNamed(QStringLiteral("Detail1")).size(), 3);
        QCOMPARE(prepared.pages.at(0).bandsNamed(QStringLiteral("Once1")).size(), 1);
        const PreparedItem &chart = prepared.pages.at(1).items.at(1);
        QCOMPARE(chart.rect, QRectF(13, 20, 254, 138));
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
