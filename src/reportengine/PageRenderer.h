#pragma once
// Paints prepared pages with QPainter onto any device: a preview widget, a printer, a PDF.
// Works in report pixels (1/96 inch); the caller gives how many device units one of them is.

#include "reportengine/PreparedReport.h"

#include <QFont>
#include <QHash>
#include <QImage>

#include <functional>

class QPagedPaintDevice;
class QPainter;

namespace report {

class PageRenderer {
public:
    // Draws a chart view into `rect` (report pixels). The widgets part installs one drawn with the
    // charting library; without it a plain bar chart is drawn with QPainter.
    using ChartPainter = std::function<void(QPainter &, const QRectF &, const ChartDef &, const ChartData &)>;
    static void setChartPainter(ChartPainter painter);

    static constexpr double kPixelsPerMm = 96.0 / 25.4;
    static QRectF toPixels(const QRectF &mm);

    // Paints `page` with the painter's origin at the sheet's top-left corner.
    void paint(QPainter &painter, const PreparedPage &page, double deviceUnitsPerPixel);

    // One item (a chart, a picture) drawn alone on a white image at `dotsPerInch`, for exports
    // that embed pictures instead of painting pages.
    QImage imageOf(const PreparedItem &item, double dotsPerInch);

    // Paints every page onto a paged device (printer or PDF writer) set to the pages' sizes and
    // orientations, with zero margins. Returns false when `progress` cancels.
    bool paintAll(QPagedPaintDevice &device, const PreparedReport &report,
                  const std::function<bool(int done, int total)> &progress = {});

private:
    void paintItem(QPainter &painter, const PreparedItem &item);
    void paintText(QPainter &painter, const PreparedItem &item, const QRectF &rect);
    void paintPicture(QPainter &painter, const PreparedItem &item, const QRectF &rect);
    const QFont &fontOf(const FontDef &def);

    QHash<QString, QFont> m_fonts;
};

void paintPlainChart(QPainter &painter, const QRectF &rect, const ChartDef &def, const ChartData &data);

} // namespace report
