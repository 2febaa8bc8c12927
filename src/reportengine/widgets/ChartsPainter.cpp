#include "reportengine/widgets/ChartsPainter.h"

#include "reportengine/ChartLabels.h"
#include "reportengine/PageRenderer.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QFontMetricsF>
#include <QGraphicsTextItem>
#include <QHorizontalBarSeries>
#include <QLegend>
#include <QPainter>
#include <QTextDocument>
#include <QTextOption>
#include <QValueAxis>
#include <QtMath>

namespace report {

namespace {

// The category labels are drawn by this painter, not by the axis: the axis gives each label no
// more than its share of the axis less a padding, and cuts longer ones short. Here a label
// column left of the plot area takes every label whole, right-aligned and centred on its
// category, broken over as many lines as it needs.
constexpr double kMaxLabelShare = 0.45;
// Narrower columns would only stack short lines higher without giving the bars much room.
constexpr double kMinLabelShare = 0.22;
constexpr int kLabelGap = 6;   // between the labels and the axis line
constexpr int kEdge = 6;       // between the chart's edge and its content
constexpr int kMinLabelPixels = 6;  // the smallest label font, still read on a printed page

QFont chartLabelFont(const FontDef &def)
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
    // The background fills the chart view's rectangle exactly: no rounded corners, no border and
    // no layout margin between the view's edge and the background.
    chart.setBackgroundRoundness(0);
    chart.setDropShadowEnabled(false);
    chart.setBackgroundPen(Qt::NoPen);
    chart.layout()->setContentsMargins(0, 0, 0, 0);
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

QChart *buildChart(QGraphicsScene &scene, const QSizeF &size, const ChartDef &def, const ChartData &data, int labelWidth)
{
    auto *chart = new QChart;
    scene.addItem(chart);   // the scene owns the chart
    style(*chart, def);
    chart->setMargins(QMargins(kEdge + labelWidth + kLabelGap, kEdge, 10, 4));

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

    // One category per row, by position: equal labels stay categories of their own.
    auto *categories = new QBarCategoryAxis;
    for (int c = data.labels.size() - 1; c >= 0; --c)
        categories->append(QString::number(c));
    categories->setLabelsVisible(false);
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

    chart->resize(size);
    return chart;
}

// Places the labels' lines in the column left of the plot area; false when one of them is taller
// than its category. An empty entry leaves its category without a label.
bool placeLabels(QGraphicsScene &scene, const QChart &chart, const ChartDef &def, const QFont &font,
                 const QList<QStringList> &lines, int labelWidth)
{
    const QRectF plot = chart.plotArea();
    const double slot = lines.isEmpty() ? 0 : plot.height() / lines.size();
    QTextOption option(Qt::AlignRight);
    option.setWrapMode(QTextOption::NoWrap);   // broken into lines already
    bool fits = true;
    for (int c = 0; c < lines.size(); ++c) {
        if (lines.at(c).isEmpty())
            continue;
        auto *label = new QGraphicsTextItem;
        label->setFont(font);
        label->setDefaultTextColor(def.axisColor.isValid() ? def.axisColor : def.labelFont.color);
        label->document()->setDocumentMargin(0);
        label->document()->setDefaultTextOption(option);
        label->setPlainText(lines.at(c).join(QLatin1Char('\n')));
        label->setTextWidth(labelWidth);
        const double height = label->boundingRect().height();
        fits = fits && height <= slot;
        label->setPos(plot.left() - kLabelGap - labelWidth, plot.top() + c * slot + (slot - height) / 2);
        scene.addItem(label);
    }
    return fits;
}

// The last resort for more rows than the smallest font names in full: each label keeps the lines
// its category has room for, the last one ending in "…"; when not even one line has room, every
// k-th category is named, so that no label covers another.
void placeCutLabels(QGraphicsScene &scene, const QChart &chart, const ChartDef &def, const ChartData &data,
                    const QFont &font, int width)
{
    const ChartLabels labels(data.labels, font);
    const QFontMetricsF metrics(font);
    const double slot = chart.plotArea().height() / qMax(1, int(data.labels.size()));
    const int room = int(slot / labels.lineHeight());
    const int every = room > 0 ? 1 : qCeil(labels.lineHeight() / slot);
    const int keep = qMax(1, room);
    QList<QStringList> lines;
    for (int c = 0; c < data.labels.size(); ++c) {
        QStringList broken = labels.lines(data.labels.at(c), width);
        if (c % every != 0) {
            broken.clear();
        } else if (broken.size() > keep) {
            const QString rest = broken.mid(keep - 1).join(QLatin1Char(' '));
            broken = broken.mid(0, keep - 1);
            broken << metrics.elidedText(rest, Qt::ElideRight, width);
        }
        lines << broken;
    }
    placeLabels(scene, chart, def, font, lines, width);
}

// A chart whose labels, in `font`, fit their categories once the label column is wide enough;
// `fits` false when even the widest column leaves a label taller than its category.
struct LaidOut {
    QChart *chart = nullptr;
    bool fits = false;
    int width = 0;
};

LaidOut layOutIn(QGraphicsScene &scene, const QSizeF &size, const ChartDef &def, const ChartData &data,
                 const QFont &font, bool cutToFit)
{
    const ChartLabels labels(data.labels, font);
    const double minWidth = size.width() * kMinLabelShare;
    const double maxWidth = size.width() * kMaxLabelShare;
    const int count = qMax(1, int(data.labels.size()));
    // A first guess from the room left under the legend and over the value axis; then, knowing the
    // plot area, a wider column (fewer lines) while a label is still taller than its category.
    double categoryHeight = qMax(1.0, size.height() - 70) / count;
    int width = qCeil(labels.columnWidth(categoryHeight, minWidth, maxWidth));
    for (;;) {
        QList<QStringList> lines;
        for (const QString &label : data.labels)
            lines << labels.lines(label, width);
        scene.clear();
        QChart *chart = buildChart(scene, size, def, data, width);
        if (cutToFit && width >= maxWidth) {
            placeCutLabels(scene, *chart, def, data, font, width);
            return {chart, true, width};
        }
        const bool fits = placeLabels(scene, *chart, def, font, lines, width);
        if (fits || width >= maxWidth)
            return {chart, fits, width};
        categoryHeight = chart->plotArea().height() / count - labels.lineHeight() / 2;
        width = qMax(width + 8, qCeil(labels.columnWidth(categoryHeight, minWidth, maxWidth)));
        width = qMin(width, qCeil(maxWidth));
    }
}

} // namespace

void ChartsPainter::install()
{
    PageRenderer::setChartPainter(&ChartsPainter::paint);
}

QChart *ChartsPainter::layOut(QGraphicsScene &scene, const QSizeF &size, const ChartDef &def, const ChartData &data)
{
    // Labels that do not fit even the widest column are drawn smaller, down to a size still read
    // on paper, so that none covers another.
    QFont font = chartLabelFont(def.labelFont);
    for (;;) {
        const bool smallest = font.pixelSize() <= kMinLabelPixels;
        const LaidOut laidOut = layOutIn(scene, size, def, data, font, smallest);
        if (laidOut.fits || smallest)
            return laidOut.chart;
        font.setPixelSize(font.pixelSize() - 1);
    }
}

void ChartsPainter::paint(QPainter &painter, const QRectF &rect, const ChartDef &def, const ChartData &data)
{
    QGraphicsScene scene;
    layOut(scene, rect.size(), def, data);
    scene.setSceneRect(QRectF(QPointF(0, 0), rect.size()));
    scene.render(&painter, rect, scene.sceneRect());
}

} // namespace report
