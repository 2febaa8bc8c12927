#pragma once
// The model of a banded report layout: pages, bands and views, as read from a layout file.
// Positions and sizes are millimetres (views from the band's top-left corner, bands inside the
// page's printable area); font sizes are pixels at 96 dpi.

#include <QColor>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace report {

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center, Bottom };
enum class ViewKind { Text, Picture, Chart };
enum class BandKind { PageHeader, ColumnHeader, MasterData, MasterFooter, Summary, PageFooter };

struct FontDef {
    QString family = QStringLiteral("Arial");
    int pixelSize = 13;
    bool bold = false;
    bool italic = false;
    QColor color = Qt::black;
};

struct ChartSeriesDef {
    QString title;
    QString valueField;
    QColor color;
};

// A bar chart over the rows of one dataset: one category per row, one bar per series.
struct ChartDef {
    QString dataSet;
    QString labelField;
    QList<ChartSeriesDef> series;
    bool horizontal = true;
    double axisMin = 0;
    double axisMax = 100;
    QString axisFormat;
    FontDef labelFont;
    bool legend = true;
    QColor background;
    QColor wallBottom;
    QColor wallTop;
    QColor axisColor;
    QColor gridColor;
};

struct ViewDef {
    ViewKind kind = ViewKind::Text;
    QString name;
    QRectF rect;                 // mm, relative to the band
    // Text views
    QString text;                // literal text with [expressions]
    QString format;              // "%2.2n", "%2.2f" or a number mask; empty: the default format
    FontDef font;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    double gapX = 2;             // inner gaps, pixels at 96 dpi
    double gapY = 1;
    bool wordWrap = true;
    // Every view
    bool frame = false;
    QColor fill;                 // invalid: no fill
    // Picture views: a blob field holding an image
    QString dataSet;
    QString field;
    bool center = true;
    // Chart views
    ChartDef chart;
};

struct BandDef {
    BandKind kind = BandKind::MasterData;
    QString name;
    double height = 0;           // mm
    QString dataSet;             // master data: the dataset walked; empty prints the band once
    QList<ViewDef> views;
};

struct PageDef {
    QString name;
    QSizeF paperSize{215.9, 279.4};   // mm, portrait
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{10, 10, 10, 10}; // mm
    QList<BandDef> bands;

    QSizeF size() const;              // mm, oriented
    QRectF printableArea() const;     // mm, from the sheet's top-left corner
    const BandDef *band(BandKind kind) const;
};

struct VariableDef {
    QString name;
    QString group;
};

struct ReportLayout {
    QString name;
    QList<VariableDef> variables;
    QList<PageDef> pages;
};

} // namespace report
