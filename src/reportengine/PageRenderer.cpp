#include "reportengine/PageRenderer.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace report {

namespace {

PageRenderer::ChartPainter &installedChartPainter()
{
    static PageRenderer::ChartPainter painter;
    return painter;
}

int alignmentOf(const ViewDef &view)
{
    int flags = view.hAlign == HAlign::Right ? Qt::AlignRight : view.hAlign == HAlign::Center ? Qt::AlignHCenter : Qt::AlignLeft;
    flags |= view.vAlign == VAlign::Bottom ? Qt::AlignBottom : view.vAlign == VAlign::Center ? Qt::AlignVCenter : Qt::AlignTop;
    if (view.wordWrap)
        flags |= Qt::TextWordWrap;
    return flags;
}

QPageLayout pageLayoutOf(const PreparedPage &page)
{
    const QSizeF portrait = page.orientation == QPageLayout::Landscape ? page.size.transposed() : page.size;
    const QPageSize size(portrait, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, page.orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

} // namespace

void PageRenderer::setChartPainter(ChartPainter painter) { installedChartPainter() = std::move(painter); }

QRectF PageRenderer::toPixels(const QRectF &mm)
{
    return QRectF(mm.x() * kPixelsPerMm, mm.y() * kPixelsPerMm, mm.width() * kPixelsPerMm, mm.height() * kPixelsPerMm);
}

void PageRenderer::paint(QPainter &painter, const PreparedPage &page, double deviceUnitsPerPixel)
{
    painter.save();
    painter.scale(deviceUnitsPerPixel, deviceUnitsPerPixel);
    for (const PreparedItem &item : page.items)
        paintItem(painter, item);
    painter.restore();
}

QImage PageRenderer::imageOf(const PreparedItem &item, double dotsPerInch)
{
    const QRectF rect = toPixels(item.rect);
    const double scale = dotsPerInch / 96.0;
    QImage image((rect.size() * scale).toSize().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dotsPerInch / 0.0254));
    image.setDotsPerMeterY(qRound(dotsPerInch / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.translate(-rect.topLeft());
    paintItem(painter, item);
    painter.end();
    return image;
}

void PageRenderer::paintItem(QPainter &painter, const PreparedItem &item)
{
    const ViewDef &view = *item.view;
    const QRectF rect = toPixels(item.rect);
    if (view.fill.isValid())
        painter.fillRect(rect, view.fill);
    switch (view.kind) {
    case ViewKind::Text:
        paintText(painter, item, rect);
        break;
    case ViewKind::Picture:
        paintPicture(painter, item, rect);
        break;
    case ViewKind::Chart:
        if (installedChartPainter())
            installedChartPainter()(painter, rect, view.chart, item.chart);
        else
            paintPlainChart(painter, rect, view.chart, item.chart);
        break;
    }
    if (view.frame) {
        QPen framePen(Qt::black);
        framePen.setWidthF(1.0);
        painter.setPen(framePen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect);
    }
}

void PageRenderer::paintText(QPainter &painter, const PreparedItem &item, const QRectF &rect)
{
    if (item.text.isEmpty())
        return;
    const ViewDef &view = *item.view;
    painter.setFont(fontOf(view.font));
    painter.setPen(view.font.color);
    const QRectF inner = rect.adjusted(view.gapX, view.gapY, -view.gapX, -view.gapY);
    int flags = alignmentOf(view);
    // A text wrapped into more lines than its cell holds would show the middle of two lines;
    // it stays on one line instead, cut at the cell's edge.
    if (view.wordWrap && painter.fontMetrics().horizontalAdvance(item.text) > inner.width()
        && painter.boundingRect(inner, flags, item.text).height() > inner.height())
        flags &= ~Qt::TextWordWrap;
    painter.drawText(inner, flags, item.text);
}

void PageRenderer::paintPicture(QPainter &painter, const PreparedItem &item, const QRectF &rect)
{
    if (item.picture.isNull())
        return;
    QSizeF size = item.picture.size();
    size.scale(rect.size(), Qt::KeepAspectRatio);
    QRectF target(rect.topLeft(), size);
    if (item.view->center)
        target.moveCenter(rect.center());
    painter.drawImage(target, item.picture);
}

const QFont &PageRenderer::fontOf(const FontDef &def)
{
    const QString key = QStringLiteral("%1/%2/%3%4").arg(def.family).arg(def.pixelSize).arg(def.bold).arg(def.italic);
    auto found = m_fonts.find(key);
    if (found == m_fonts.end()) {
        QFont font(def.family);
        font.setPixelSize(def.pixelSize);
        font.setBold(def.bold);
        font.setItalic(def.italic);
        // Positions are worked out in report pixels and then scaled: metrics must not be hinted
        // to the device, or a line would measure differently on screen and on paper.
        font.setHintingPreference(QFont::PreferNoHinting);
        found = m_fonts.insert(key, font);
    }
    return *found;
}

bool PageRenderer::paintAll(QPagedPaintDevice &device, const PreparedReport &report,
                            const std::function<bool(int, int)> &progress)
{
    if (report.pages.isEmpty())
        return true;
    device.setPageLayout(pageLayoutOf(report.pages.first()));
    QPainter painter(&device);
    const double scale = device.logicalDpiX() / 96.0;
    for (int i = 0; i < report.pages.size(); ++i) {
        if (i > 0) {
            device.setPageLayout(pageLayoutOf(report.pages.at(i)));
            device.newPage();
        }
        paint(painter, report.pages.at(i), scale);
        if (progress && !progress(i + 1, report.pages.size()))
            return false;
    }
    return true;
}

} // namespace report
