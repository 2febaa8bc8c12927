#pragma once
// Shows one prepared page at a zoom factor (1.0: 100 %, a millimetre as long as on paper at
// 96 dpi), with an optional highlighted rectangle (a found text).

#include "reportengine/PageRenderer.h"

#include <QWidget>

namespace report {

class PageView : public QWidget {
    Q_OBJECT
public:
    explicit PageView(QWidget *parent = nullptr);

    void setPage(const PreparedPage *page);
    void setZoom(double zoom);
    double zoom() const { return m_zoom; }
    void setHighlight(const QRectF &mm);   // an empty rectangle removes it

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const PreparedPage *m_page = nullptr;
    double m_zoom = 1.0;
    QRectF m_highlight;
    PageRenderer m_renderer;
};

} // namespace report
