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

QFont fontOf(const FontDef &def)
{
    QFont font(def.family);
    font.setPixelSize(def.pixelSize);
    font.setBold(def.bold);
    font.setItalic(def.italic);
    return font;
}

// Printf notation of the charting library for a number mask: "#,##0" -> "%.0f".
QString labelFormat(const QString &mask)
{
    const int point = mask.indexOf(QLatin1Char('.'));
    return QStringLiteral("%.%1f").arg(point < 0 ? 0 : mask.size() - point - 1);
}

void style(QChart &chart, const ChartDef &def)
{
    chart.setTitle(QString());
    chart.legend()->setVisible(def.legend);
    chart.legend()->setAlignment(Qt::AlignBottom);
    chart.setBackgroundRoundness(0);
    chart.setDropShadowEnabled(false);
    if (def.background.isValid())
        chart.setBackgroundBrush(def.background);
    if (def.wallBottom.isValid() || def.wallTop.isValid()) {
        QLinearGradient wall(0, 1, 0, 0);
        wall.setCoordinateMode(QGradient::ObjectBoundingMode);
        wall.setColorAt(0, def.wallBottom.isValid() ? def.wallBottom : Qt::white);
        wall.setColorAt(1, def.wallTop.isValid() ? def.wallTop : Qt::white);
        chart.setPlotAreaBackgroundBrush(wall);
        chart.setPlotAreaBackgroundVisible(true);
    }
}

void styleAxis(QAbstractAxis &axis, const ChartDef &def)
{
    if (def.axisColor.isValid()) {
        axis.setLinePenColor(def.axisColor);
        axis.setLabelsColor(def.axisColor);
    }
    if (def.gridColor.isValid())
        axis.setGridLineColor(def.gridColor);
}

} // namespace

void ChartsPainter::install()
{
    PageRenderer::setChartPainter(&ChartsPainter::paint);
}

void ChartsPainter::paint(QPainter &painter, const QRectF &rect, const ChartDef &def, const ChartData &data)
{
    auto *chart = new QChart;
    QGraphicsScene scene;
    scene.addItem(chart);   // the scene owns the chart
    style(*chart, def);

    auto *series = new QHorizontalBarSeries;
    series->setLabelsVisible(false);
    for (int s = 0; s < def.series.size() && s < data.values.size(); ++s) {
        auto *set = new QBarSet(def.series.at(s).title);
        if (def.series.at(s).color.isValid())
            set->setColor(def.series.at(s).color);
        // Categories are stacked from the bottom up; fed last row first, the first row is on top.
        for (int c = data.values.at(s).size() - 1; c >= 0; --c)
            set->append(data.values.at(s).at(c));
        series->append(set);
    }
    chart->addSeries(series);

    auto *categories = new QBarCategoryAxis;
    for (int c = data.labels.size() - 1; c >= 0; --c)
        categories->append(wrapped(data.labels.at(c)));
    categories->setLabelsFont(fontOf(def.labelFont));
    styleAxis(*categories, def);
    chart->addAxis(categories, Qt::AlignLeft);
    series->attachAxis(categories);

    auto *values = new QValueAxis;
    values->setRange(def.axisMin, def.axisMax);
    values->setLabelFormat(labelFormat(def.axisFormat));
    values->setMinorTickCount(0);
    styleAxis(*values, def);
    chart->addAxis(values, Qt::AlignBottom);
    series->attachAxis(values);

    chart->resize(rect.size());
    scene.setSceneRect(QRectF(QPointF(0, 0), rect.size()));
    scene.render(&painter, rect, scene.sceneRect());
}

} // namespace report
