#include "ChartsPainter.h"

#include "PageRenderer.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QGraphicsScene>
#include <QHorizontalBarSeries>
#include <QLegend>
#include <QPainter>
#include <QValueAxis>

namespace report {

namespace {

// Long labels are broken over several lines rather than cut short (axis labels are rich text).
QString wrapped(const QString &label, int width = 28)
{
    QStringList lines{QString()};
    for (const QString &word : label.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!lines.last().isEmpty() && lines.last().size() + 1 + word.size() > width)
            lines << QString();
        lines.last() += (lines.last().isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    for (QString &line : lines)
        line = line.toHtmlEscaped();
    return lines.join(QStringLiteral("<br>"));
}

QFont fontOf(const FontSpec &spec)
{
    QFont font(spec.family);
    font.setPixelSize(spec.pixelSize);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    return font;
}

// Printf notation of the charting library for a number mask: "#,##0" -> "%.0f".
QString labelFormat(const QString &mask)
{
    const int point = mask.indexOf(QLatin1Char('.'));
    return QStringLiteral("%.%1f").arg(point < 0 ? 0 : mask.size() - point - 1);
}

void style(QChart &chart, const ChartSpec &spec)
{
    chart.setTitle(QString());
    chart.legend()->setVisible(spec.legend);
    chart.legend()->setAlignment(Qt::AlignBottom);
    chart.setBackgroundRoundness(0);
    chart.setDropShadowEnabled(false);
    if (spec.background.isValid())
        chart.setBackgroundBrush(spec.background);
    if (spec.wallBottom.isValid() || spec.wallTop.isValid()) {
        QLinearGradient wall(0, 1, 0, 0);
        wall.setCoordinateMode(QGradient::ObjectBoundingMode);
        wall.setColorAt(0, spec.wallBottom.isValid() ? spec.wallBottom : Qt::white);
        wall.setColorAt(1, spec.wallTop.isValid() ? spec.wallTop : Qt::white);
        chart.setPlotAreaBackgroundBrush(wall);
        chart.setPlotAreaBackgroundVisible(true);
    }
}

void styleAxis(QAbstractAxis &axis, const ChartSpec &spec)
{
    if (spec.axisColor.isValid()) {
        axis.setLinePenColor(spec.axisColor);
        axis.setLabelsColor(spec.axisColor);
    }
    if (spec.gridColor.isValid())
        axis.setGridLineColor(spec.gridColor);
}

} // namespace

void ChartsPainter::install()
{
    PageRenderer::setChartPainter(&ChartsPainter::paint);
}

void ChartsPainter::paint(QPainter &painter, const QRectF &rect, const ChartSpec &spec, const ChartData &data)
{
    auto *chart = new QChart;
    QGraphicsScene scene;
    scene.addItem(chart);   // the scene owns the chart
    style(*chart, spec);

    auto *series = new QHorizontalBarSeries;
    series->setLabelsVisible(false);
    for (int s = 0; s < spec.series.size() && s < data.values.size(); ++s) {
        auto *set = new QBarSet(spec.series.at(s).title);
        if (spec.series.at(s).color.isValid())
            set->setColor(spec.series.at(s).color);
        // Categories are stacked from the bottom up; fed last row first, the first row is on top.
        for (int c = data.values.at(s).size() - 1; c >= 0; --c)
            set->append(data.values.at(s).at(c));
        series->append(set);
    }
    chart->addSeries(series);

    auto *categories = new QBarCategoryAxis;
    for (int c = data.labels.size() - 1; c >= 0; --c)
        categories->append(wrapped(data.labels.at(c)));
    categories->setLabelsFont(fontOf(spec.labelFont));
    styleAxis(*categories, spec);
    chart->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(categories);

    auto *values = new QValueAxis;
    values->setRange(spec.axisMin, spec.axisMax);
    values->setLabelFormat(labelFormat(spec.axisFormat));
    values->setMinorTickCount(0);
    styleAxis(*values, spec);
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);

    chart->resize(rect.size());
    scene.setSceneRect(QRectF(QPointF(0, 0), rect.size()));
    scene.render(&painter, rect, scene.sceneRect());
}

} // namespace report
