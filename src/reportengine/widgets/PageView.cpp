#include "reportengine/widgets/PageView.h"

#include <QPainter>

namespace report {

PageView::PageView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::setPage(const PreparedPage *page)
{
    m_page = page;
    m_highlight = QRectF();
    resize(sizeHint());
    update();
}

void PageView::setZoom(double zoom)
{
    m_zoom = zoom;
    resize(sizeHint());
    update();
}

void PageView::setHighlight(const QRectF &mm)
{
    m_highlight = mm;
    update();
}

QSize PageView::sizeHint() const
{
    if (!m_page)
        return QSize(0, 0);
    const QSizeF pixels = m_page->size * PageRenderer::kPixelsPerMm * m_zoom;
    return pixels.toSize();
}

void PageView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_page)
        return;
    // Cell frames stay crisp one-pixel lines at 100 %; text keeps its own antialiasing.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    m_renderer.paint(painter, *m_page, m_zoom);
    if (!m_highlight.isEmpty()) {
        const QRectF mm = m_highlight;
        const QRectF area = PageRenderer::toPixels(mm);
        painter.fillRect(QRectF(area.topLeft() * m_zoom, area.size() * m_zoom), QColor(255, 230, 0, 110));
    }
}

} // namespace report
