#pragma once
// A report laid out into pages: every band placed and every view evaluated, in millimetres from
// the sheet's top-left corner. Painting, the preview, PDF and XLSX all read this; tests check it
// without a printer.

#include "reportengine/ReportLayout.h"

#include <QDateTime>
#include <QImage>
#include <QVariant>

#include <memory>

namespace report {

// The rows a chart view shows: one label per category, one value list per series.
struct ChartData {
    QStringList labels;
    QList<QList<double>> values;   // [series][category]
};

struct PreparedItem {
    const ViewDef *view = nullptr;   // style: font, alignment, frame, fill
    QString band;                     // name of the band that placed it
    BandKind bandKind = BandKind::MasterData;
    QRectF rect;                      // mm on the sheet
    QString text;
    QVariant number;                  // a lone numeric value of the text, for exports
    QVariant dateTime;                // a lone date or time of the text, for exports
    QString prefix;                   // literal text around `number` or `dateTime`
    QString suffix;
    QImage picture;
    ChartData chart;
};

struct PlacedBand {
    QString name;
    BandKind kind;
    QRectF rect;                      // mm on the sheet
};

struct PreparedPage {
    int layoutPage = 0;               // index of the layout's page it was laid out from
    QSizeF size;                      // mm, oriented
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QList<PlacedBand> bands;
    QList<PreparedItem> items;

    QStringList texts() const;
    QList<PlacedBand> bandsNamed(const QString &name) const;
};

// What the user knows a report by: the window title, the proposed file name, the print job and
// the exported files' properties read these, never the layout's internal name.
struct DocumentInfo {
    QString title;       // e.g. "Semáforo de Carrera - Supervisor de Bodega"
    QString author;      // the session user
    QString subject;     // the company
    QDateTime created;
};

struct PreparedReport {
    std::shared_ptr<const ReportLayout> layout;
    DocumentInfo info;
    QList<PreparedPage> pages;

    int pageCount() const { return pages.size(); }
    // The title, or a plain "Reporte" when the owner gave none.
    QString title() const;
};

} // namespace report
