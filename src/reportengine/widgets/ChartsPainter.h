#pragma once
// Draws a report's chart views with the charting library (bars, axes, legend), painted as
// vectors into the page. The charting library needs a QApplication, so the core engine draws
// plain charts until the widgets side installs this one.

#include "ReportLayout.h"
#include "PreparedReport.h"

class QPainter;

namespace report {

class ChartsPainter {
public:
    // Makes every later chart view paint through paint() below.
    static void install();
    static void paint(QPainter &painter, const QRectF &rect, const ChartDef &def, const ChartData &data);
};

} // namespace report
