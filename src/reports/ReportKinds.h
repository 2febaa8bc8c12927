#pragma once
// The module's reports as the command line ("qacsemaf report NAME") and the window ask for them,
// one row each: the name typed on the command line, the caption, the layout, where its rows come
// from, the options it takes and the filler that feeds the layout from the data module. A new
// report is one row here (ReportKinds.cpp) with its layout (layouts/, in the resources) and its
// filler; the command line, its help and the window's buttons find it by name.

#include "reportengine/Report.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <utility>

class TDataSet;
class TDtmAcSemaf;
namespace engine { struct SnapshotComparison; }

// Where a report's rows come from.
enum class ReportSource {
    Generation,   // the traffic-light result of a run, on positions or on a plan node of the main form
    Snapshots,    // two snapshots of one plan ("A B"), compared
};

// What a filler reads: the data module as the window, or a headless run standing in for it,
// leaves it (the result, the company header, the form).
struct ReportData {
    explicit ReportData(TDtmAcSemaf &dataModule, QString headerPosition = {},
                        const engine::SnapshotComparison *snapshots = nullptr)
        : module(dataModule), positionWithoutPlan(std::move(headerPosition)), comparison(snapshots)
    {
    }

    TDtmAcSemaf &module;
    QString positionWithoutPlan;   // what the header names when no career plan is open
    const engine::SnapshotComparison *comparison = nullptr;   // Snapshots: the two snapshots
};

// Shows, prints or exports the report handed over.
using ReportOutput = std::function<void(report::Report &)>;

// The rows a report prints from, for a caller that wants them rather than the pages.
struct ReportRows {
    struct Column {
        QString name;
        bool number = false;   // a number; otherwise text
    };
    QVector<Column> columns;
    // Fills the rows of the employee under the result cursor and returns them; throws Exception.
    std::function<TDataSet &(const ReportData &)> fill;
};

struct ReportKind {
    QString name;      // as typed on the command line
    QString caption;   // the report's title
    QString layout;    // the layout resource
    ReportSource source = ReportSource::Generation;
    bool perEmployee = false;   // about one employee of the result (the command line's --employee)
    bool chart = false;         // draws a chart: the charting library's painter draws it
    // The command's description (context "qacsemaf"), translated by the command line.
    const char *summary = nullptr;
    // Feeds the layout from `data` and runs `output` on it; refusals throw Exception.
    std::function<void(const ReportData &data, const ReportOutput &output)> produce;
    ReportRows rows;   // no fill: the report offers no rows (the command line's --rows)
};

// Every report, in the order the command line lists them.
const QVector<ReportKind> &reportKinds();
// The report typed as `name`, or null.
const ReportKind *reportKind(const QString &name);
// The same for a report the caller knows is there; throws Exception otherwise.
const ReportKind &reportKindNamed(const QString &name);
// The names, in order.
QStringList reportNames();
