#pragma once
// qacsemaf report NAME: writes one of the module's reports (reports/ReportKinds.h) to PDF, XLSX
// and/or DOCX. A report on a generation result runs the traffic-light generation with the options
// of qacsemaf generate (its positions, or a plan node through the main form); the competence
// report is about one evaluated employee and may print its rows (--rows) instead. A report on
// snapshots compares two of them ("A B"). The competence report's chart is drawn by the chart
// painter the program installed: the window program installs the charting library's.

#include "tools/GenerateCommand.h"

#include <QStringList>

#include <functional>

// The line of the command list.
inline constexpr char kReportSummary[] = QT_TRANSLATE_NOOP(
    "qacsemaf", "genera el semáforo y escribe el listado o el reporte de competencias de un empleado (PDF, XLSX, DOCX)");

class QTextStream;
struct ReportData;
struct ReportKind;

struct ReportOptions {
    const ReportKind *kind = nullptr;   // the report asked for
    QString pdf;
    QString xlsx;
    QString docx;
    QString employee;   // a report about one employee: the evaluated employee; empty: the first one
    QString rows;       // print the report's rows (csv, json) instead of writing a file
};

// The report on a plan node, handed the read command line; returns the exit code. Only the window
// program, which opens the main form, has one.
using ReportOnPlanNode = std::function<int(const CommandLine &, const PlanNode &, const ReportOptions &)>;

// `arguments` start with the program name ("qacsemaf report"). Every argument is checked before
// the run; returns the process exit code.
int runReportCommand(const QStringList &arguments);
// The same with the run on a plan node.
int runReportCommandWith(const QStringList &arguments, const ReportOnPlanNode &onPlanNode);

// Writes (or prints) the report asked for from what `data` holds, the data module's form
// (`Forma`) and company header set as the main window leaves them; throws Exception.
void writeReport(const ReportOptions &options, const ReportData &data, QTextStream &out);
