// A bar chart drawn with QPainter alone: the chart view's look where no charting library is
// installed (headless runs). One category per row, the series side by side, a value axis with
// grid lines and a legend under the plot.

#include "reportengine/ChartLabels.h"
#include "reportengine/PageRenderer.h"
#include "reportengine/TextTemplate.h"

#include <QPainter>

namespace report {

namespace {

const QList<QColor> kSeriesColours{QColor(68, 114, 196), QColor(237, 125, 49), QColor(112, 173, 71)};

QColor seriesColour(const ChartDef &def, int series)
{
    const QColor colour = def.series.at(series).color;
    return colour.isValid() ? colour : kSeriesColours.at(series % kSeriesColours.size());
}

QFont labelFont(const ChartDef &def)
{
    QFont font(def.labelFont.family);
    font.setPixelSize(def.labelFont.pixelSize);
    font.setBold(def.labelFont.bold);
    font.setItalic(def.labelFont.italic);
    font.setHintingPreference(QFont::PreferNoHinting);   // measured here, drawn at any scale
    return font;
}

void paintLegend(QPainter &painter, const QRectF &area, const ChartDef &def)
{
    double x = area.left();
    for (int s = 0; s < def.series.size(); ++s) {
        painter.fillRect(QRectF(x, area.top() + 3, 10, 10), seriesColour(def, s));
        const QString title = def.series.at(s).title;
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x + 14, area.top(), 200, 16), Qt::AlignLeft | Qt::AlignVCenter, title);
        x += 24 + painter.fontMetrics().horizontalAdvance(title);
    }
}

} // namespace

void paintPlainChart(QPainter &painter, const QRectF &rect, const ChartDef &def, const ChartData &data)
{
    painter.save();
    if (def.background.isValid())
        painter.fillRect(rect, def.background);
    painter.setFont(labelFont(def));
    // The label column is as wide as the labels need to fit their category's height.
    const int categories = data.labels.size();
    const double plotHeight = rect.height() - 54;
    const ChartLabels labels(data.labels, labelFont(def));
    const double labelWidth = labels.columnWidth(categories ? plotHeight / categories : plotHeight, rect.width() * 0.22, rect.width() * 0.4) + 12;
    const QRectF plot = rect.adjusted(labelWidth, 10, -16, -44);
    QLinearGradient wall(plot.bottomLeft(), plot.topLeft());
    wall.setColorAt(0, def.wallBottom.isValid() ? def.wallBottom : Qt::white);
    wall.setColorAt(1, def.wallTop.isValid() ? def.wallTop : Qt::white);
    painter.fillRect(plot, wall);

    const double range = def.axisMax > def.axisMin ? def.axisMax - def.axisMin : 1;
    const auto xOf = [&](double value) {
        return plot.left() + (qBound(def.axisMin, value, def.axisMax) - def.axisMin) / range * plot.width();
    };
    for (int tick = 0; tick <= 10; ++tick) {
        const double value = def.axisMin + range * tick / 10;
        painter.setPen(def.gridColor.isValid() ? def.gridColor : Qt::lightGray);
        painter.drawLine(QPointF(xOf(value), plot.top()), QPointF(xOf(value), plot.bottom()));
        painter.setPen(def.axisColor.isValid() ? def.axisColor : Qt::darkGray);
        painter.drawText(QRectF(xOf(value) - 30, plot.bottom() + 2, 60, 14), Qt::AlignCenter,
                         formatReportValue(value, def.axisFormat));
    }

    const int seriesCount = data.values.size();
    const double slot = categories ? plot.height() / categories : 0;
    for (int c = 0; c < categories; ++c) {
        const QRectF band(plot.left(), plot.top() + c * slot, plot.width(), slot);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(rect.left() + 4, band.top(), labelWidth - 8, slot), Qt::AlignRight | Qt::AlignVCenter,
                         labels.lines(data.labels.at(c), labelWidth - 12).join(QLatin1Char('\n')));
        const double barHeight = slot * 0.8 / qMax(1, seriesCount);
        for (int s = 0; s < seriesCount; ++s) {
            const double top = band.top() + slot * 0.1 + s * barHeight;
            painter.fillRect(QRectF(QPointF(xOf(def.axisMin), top), QPointF(xOf(data.values.at(s).value(c)), top + barHeight)),
                             seriesColour(def, s));
        }
    }
    painter.setPen(def.axisColor.isValid() ? def.axisColor : Qt::darkGray);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    painter.drawLine(plot.bottomLeft(), plot.topLeft());
    if (def.legend)
        paintLegend(painter, QRectF(plot.left(), rect.bottom() - 22, plot.width(), 18), def);
    painter.restore();
}

} // namespace report
