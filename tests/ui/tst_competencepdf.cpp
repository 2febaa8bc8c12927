// The competence report of a demo employee as a PDF (the page sizes of a two-page export are the
// report engine's, tested there): the texts of the table page, and the bars of the chart page
// measured on the rendered page against the table's percentages.

#include "reportengine/widgets/ChartsPainter.h"
#include "data/DAcSemaf.h"
#include "tests/support/DemoDatabase.h"
#include "data/HeadlessMainForm.h"
#include "data/HeadlessWorkstation.h"
#include "reportengine/PdfExport.h"
#include "framework/dataset/TField.h"
#include "reports/TReportesAcSemaf.h"
#include "tests/support/PdfTools.h"
#include "tests/support/TestTools.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QColor kRequisitos(31, 78, 161);   // the series colours of the layout
const QColor kEmpleados(230, 126, 34);

struct DetailRow {
    QString tipo, requisito, especificacion, porCump, titulo;
    double cumGraf;
};

// A horizontal bar of one colour on the rendered page: where its widest run starts, and its length.
struct Bar {
    int left = 0, length = 0;
};

bool near(QRgb pixel, const QColor &colour)
{
    return qAbs(qRed(pixel) - colour.red()) < 8 && qAbs(qGreen(pixel) - colour.green()) < 8
        && qAbs(qBlue(pixel) - colour.blue()) < 8;
}

// Bars from the top of the page down; a bar is a run of rows each holding a run of the colour.
QList<Bar> barsOf(const QImage &image, const QColor &colour)
{
    QList<Bar> bars;
    int lastRow = -2;
    for (int y = 0; y < image.height(); ++y) {
        int best = 0, bestLeft = 0;
        for (int x = 0; x < image.width();) {
            int end = x;
            while (end < image.width() && near(image.pixel(end, y), colour))
                ++end;
            if (end - x > best) {
                best = end - x;
                bestLeft = x;
            }
            x = end + 1;
        }
        if (best < 3)
            continue;
        if (y != lastRow + 1)
            bars << Bar{bestLeft, best};
        bars.last().length = qMax(bars.last().length, best);
        lastRow = y;
    }
    return bars;
}

} // namespace

class TestCompetencePdf : public QObject {
    Q_OBJECT
private slots:
    // Plan 1 of company 1, node 11: "Supervisor de Bodega" over AUX001 and OPE003; the employee whose
    // requirements show the most different percentages is reported.
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        QLocale::setDefault(QLocale::c());
        m_form.CargoAspira = QStringLiteral("SUP003");
        m_form.EmpreAspira = QStringLiteral("2");
        m_form.CargoActual = QStringLiteral("'AUX001','OPE003'");
        m_form.EmpCaActual = QStringLiteral("'2','2'");
        m_form.categories = {true, true, true, true};
        HeadlessWorkstation station(m_db.session(1), &m_form);
        TDtmAcSemaf &module = station.module;
        module.GenerarSemaforoCarrera();
        module.ValidaGrupoEmpresarial();
        module.QryGnEmpre.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(1);
        module.QryGnEmpre.Open();
        module.CdsAcSemaf.AfterScroll = nullptr;
        module.CdsDtpcaRep.AfterScroll = nullptr;
        TDataSet &result = module.CdsAcSemaf;
        QVERIFY(!result.IsEmpty());

        int bestRow = 1, bestSpread = -1;
        for (result.First(); !result.Eof(); result.Next()) {
            module.ReporteCompetencias();
            QSet<double> percentages;
            for (TDataSet &table = module.CdsDtpcaRep; !table.Eof(); table.Next())
                percentages << table.FieldByName(QStringLiteral("CUM_GRAF"))->AsFloat();
            if (percentages.size() > bestSpread) {
                bestSpread = int(percentages.size());
                bestRow = result.RecNo();
            }
        }
        QVERIFY2(bestSpread >= 3, "the demo node has no employee with varied percentages");
        result.setRecNo(bestRow);
        m_employee = result.FieldByName(QStringLiteral("COD_EMPL"))->AsString();
        // "Cargo:" prints the position of the employee's active contract.
        m_current = m_db.query(QStringLiteral("SELECT TRIM(c.NOM_CARG) FROM NM_CONTR k, BI_CARGO c WHERE k.COD_EMPR = 2"
                                              " AND k.COD_EMPL = %1 AND k.IND_ACTI = 'A' AND c.COD_EMPR = k.COD_EMPR"
                                              " AND c.COD_CARG = k.COD_CARG AND c.IND_ACTI = 'A'").arg(m_employee)).value(0);
        QVERIFY(!m_current.isEmpty());

        report::ChartsPainter::install();
        TReportesAcSemaf reports(module);
        m_pdf = m_dir.filePath(QStringLiteral("competencias.pdf"));
        reports.ReporteCompetencias([&](report::Report &report) {
            QString error;
            QVERIFY2(report::PdfExport::write(report.prepare(), m_pdf, &error), qPrintable(error));
        });
        TDataSet &table = module.CdsDtpcaRep;
        for (table.First(); !table.Eof(); table.Next()) {
            const auto text = [&](const char *field) { return table.FieldByName(QLatin1String(field))->AsString(); };
            m_rows << DetailRow{text("TIP_REGI"), text("COD_REQU"), text("COD_ESPE"), text("POR_CUMP"), text("TIT_GRAF"),
                                table.FieldByName(QStringLiteral("CUM_GRAF"))->AsFloat()};
        }
    }

    void tablePage()
    {
        const QString text = pdfToText(m_pdf, 1, 1);
        QStringList expected{"Grupo Empresarial Andino S.A.", "Cedula: " + m_employee, "Supervisor de Bodega"};
        for (const DetailRow &row : m_rows)
            expected << row.tipo.section(' ', 0, 0) << row.requisito.section(' ', 0, 0);
        for (const QString &item : expected)
            QVERIFY2(text.contains(item), qPrintable(item + QStringLiteral(" not in:\n") + text));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Cargo:\\s+") + m_current)), qPrintable(m_current));
        // The percentage column as the table holds it, at the end of each line.
        for (const DetailRow &row : m_rows)
            QVERIFY2(text.contains(QRegularExpression(QStringLiteral("\\s%1\\n").arg(QRegularExpression::escape(row.porCump)))),
                     qPrintable(row.porCump));
    }

    void barLengths()
    {
        const QString prefix = m_dir.filePath(QStringLiteral("chart"));
        runProgram(QStringLiteral("pdftoppm"), {QStringLiteral("-f"), QStringLiteral("2"), QStringLiteral("-l"), QStringLiteral("2"),
                                         QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
                                         QStringLiteral("-singlefile"), m_pdf, prefix});
        const QImage page(prefix + QStringLiteral(".png"));
        QVERIFY(!page.isNull());
        // Bars start at the value axis' 0; the legend's keys, elsewhere, are left out.
        QList<Bar> required = barsOf(page, kRequisitos);
        QVERIFY(!required.isEmpty());
        const int axis = std::max_element(required.begin(), required.end(), [](const Bar &a, const Bar &b) {
                             return a.length < b.length;
                         })->left;
        const auto onAxis = [axis](QList<Bar> bars) {
            bars.removeIf([axis](const Bar &bar) { return qAbs(bar.left - axis) > 1; });
            return bars;
        };
        required = onAxis(required);
        QCOMPARE(required.size(), m_rows.size());   // one "Requisitos" bar, of length 100, per row
        const int full = required.first().length;
        QVERIFY2(full > page.width() / 3, qPrintable(QString::number(full)));
        // The employee's longest bar against the highest percentage (bars stop at 100).
        double highest = 0;
        for (const DetailRow &row : m_rows)
            highest = qMax(highest, qMin(row.cumGraf, 100.0));
        int longest = 0;
        for (const Bar &bar : onAxis(barsOf(page, kEmpleados)))
            longest = qMax(longest, bar.length);
        QVERIFY2(qAbs(longest - highest / 100 * full) <= 2, qPrintable(QStringLiteral("%1 px for %2 %").arg(longest).arg(highest)));
    }

private:
    DemoDatabase m_db;
    QTemporaryDir m_dir;
    QString m_pdf;
    HeadlessMainForm m_form;
    QList<DetailRow> m_rows;
    QString m_employee;
    QString m_current;   // the employee's current position
};

QTEST_MAIN(TestCompetencePdf)
#include "tst_competencepdf.moc"
