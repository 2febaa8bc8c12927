#pragma once
// Draws a report's chart views with the charting library (bars, axes, legend), painted as
// vectors into the page. The charting library needs a QApplication, so the core engine draws
// plain charts until the widgets side installs this one.

#include "reportengine/ReportLayout.h"
#include "reportengine/PreparedReport.h"

class QChart;
class QGraphicsScene;
class QPainter;

namespace report {

class ChartsPainter {
public:
    // Makes every later chart view paint through paint() below.
    static void install();
    static void paint(QPainter &painter, const QRectF &rect, const ChartDef &def, const ChartData &data);

    // The chart of `data`, laid out in `scene` at `size` (report pixels) as paint() draws it: its
    // background covers the whole size, and the category labels get the width and the lines they
    // need to show every word. The scene owns the chart.
    static QChart *layOut(QGraphicsScene &scene, const QSizeF &size, const ChartDef &def, const ChartData &data);
};

} // namespace report
