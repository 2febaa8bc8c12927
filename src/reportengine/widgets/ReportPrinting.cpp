#include "reportengine/widgets/ReportPrinting.h"

#include "reportengine/widgets/ChartsPainter.h"
#include "framework/widgets/DialogService.h"
#include "reportengine/DocxExport.h"
#include "framework/Exceptions.h"
#include "reportengine/PageRenderer.h"
#include "reportengine/PdfExport.h"
#include "reportengine/XlsxExport.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>

namespace report {

namespace {

// A progress window that appears only when the work lasts; its cancel button stops the work.
class Progress {
public:
    Progress(const QString &label, QWidget *parent) : m_dialog(label, QStringLiteral("Cancelar"), 0, 0, parent)
    {
        m_dialog.setWindowTitle(DialogService::instance().applicationTitle);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(600);
        m_dialog.setValue(0);
    }
    bool operator()(int done, int total)
    {
        m_dialog.setMaximum(total);
        m_dialog.setValue(done);
        QApplication::processEvents();
        return !m_dialog.wasCanceled();
    }
    bool cancelled() const { return m_dialog.wasCanceled(); }

private:
    QProgressDialog m_dialog;
};

} // namespace

std::optional<PreparedReport> ReportPrinting::prepare(const Report &report, QWidget *parent)
{
    Progress progress(QStringLiteral("Preparando el reporte..."), parent);
    try {
        return report.prepare([&](int done, int total) { return progress(done, total); });
    } catch (const EAbort &) {
        return std::nullopt;
    }
}

bool ReportPrinting::print(const PreparedReport &pages, QPrinter &printer, QString *error)
{
    printer.setFullPage(true);
    printer.setDocName(pages.title());
    if (!PageRenderer().paintAll(printer, pages) || printer.printerState() == QPrinter::Error) {
        if (error)
            *error = QStringLiteral("No se pudo imprimir en %1").arg(printer.printerName());
        return false;
    }
    return true;
}

bool ReportPrinting::print(const PreparedReport &pages, QPrinter &printer, const QPageLayout &sheet, QString *error)
{
    const auto sheetFor = [&](const PreparedPage &page) {
        QPageLayout layout = sheet;
        if (page.orientation != pages.pages.first().orientation)
            layout.setOrientation(sheet.orientation() == QPageLayout::Portrait ? QPageLayout::Landscape
                                                                                : QPageLayout::Portrait);
        return layout;
    };
    const auto failed = [&] {
        if (error)
            *error = QStringLiteral("No se pudo imprimir en %1").arg(printer.printerName());
        return false;
    };
    printer.setFullPage(true);
    printer.setDocName(pages.title());
    if (pages.pages.isEmpty())
        return true;
    printer.setPageLayout(sheetFor(pages.pages.first()));
    QPainter painter;
    if (!painter.begin(&printer))
        return failed();
    PageRenderer renderer;
    for (int i = 0; i < pages.pageCount(); ++i) {
        const PreparedPage &page = pages.pages.at(i);
        if (i > 0) {
            printer.setPageLayout(sheetFor(page));
            printer.newPage();
        }
        // Device units of the area inside the chosen margins, and the page's size in them.
        const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
        const double unitsPerPixel = printer.resolution() / 96.0;
        const QSizeF pagePixels = page.size * PageRenderer::kPixelsPerMm * unitsPerPixel;
        const double scale = qMin(1.0, qMin(area.width() / pagePixels.width(), area.height() / pagePixels.height()));
        painter.save();
        painter.translate(area.center() - QPointF(pagePixels.width(), pagePixels.height()) * scale / 2);
        renderer.paint(painter, page, unitsPerPixel * scale);
        painter.restore();
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return failed();
    return true;
}

std::function<ReportPrinting::Printers()> ReportPrinting::printerList;

ReportPrinting::Printers ReportPrinting::printers()
{
    if (printerList)
        return printerList();
    return {QPrinterInfo::defaultPrinterName(), QPrinterInfo::availablePrinterNames()};
}

std::unique_ptr<QPrinter> ReportPrinting::defaultPrinter()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPrinterName(printers().defaultName);
    return printer;
}

QString ReportPrinting::noPrinterMessage()
{
    return QStringLiteral("No hay ninguna impresora instalada en este equipo. Instale una impresora, "
                          "o abra la vista previa del reporte y expórtelo a PDF.");
}

bool ReportPrinting::choosePrinter(QPrinter &printer, QWidget *parent)
{
    if (printers().names.isEmpty()) {
        DialogService::instance().showError(noPrinterMessage());
        return false;
    }
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("dialogoImprimir"));
    dialog.setWindowTitle(QStringLiteral("Imprimir"));
    return DialogService::instance().execModal(&dialog) == QDialog::Accepted;
}

bool ReportPrinting::printToDefaultPrinter(const PreparedReport &pages, QWidget *parent)
{
    const std::unique_ptr<QPrinter> printer = defaultPrinter();
    if (printer->printerName().isEmpty() && !choosePrinter(*printer, parent))
        return false;
    QString error;
    if (!print(pages, *printer, &error)) {
        DialogService::instance().showError(error);
        return false;
    }
    return true;
}

bool ReportPrinting::printReport(const Report &report, QWidget *parent)
{
    ChartsPainter::install();
    const auto pages = prepare(report, parent);
    return pages && printToDefaultPrinter(*pages, parent);
}

QString ReportPrinting::overwriteQuestion(const QString &path)
{
    return QStringLiteral("El archivo %1 ya existe. ¿Desea reemplazarlo?").arg(QFileInfo(path).fileName());
}

bool ReportPrinting::exportTo(const PreparedReport &pages, const QString &path, Format format, QWidget *parent)
{
    if (QFileInfo::exists(path) && !DialogService::instance().confirm(overwriteQuestion(path)))
        return false;
    Progress progress(QStringLiteral("Exportando %1...").arg(QFileInfo(path).fileName()), parent);
    const auto step = [&](int done, int total) { return progress(done, total); };
    QString error;
    bool written = false;
    switch (format) {
    case Format::Pdf:
        written = PdfExport::write(pages, path, &error, step);
        break;
    case Format::Xlsx:
        written = XlsxExport::write(pages, path, &error, step);
        break;
    case Format::Docx:
        written = DocxExport::write(pages, path, &error, step);
        break;
    }
    if (!written && !progress.cancelled())
        DialogService::instance().showError(error);
    return written;
}

} // namespace report
