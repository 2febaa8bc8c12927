#pragma once
// qacsemaf report list|competence: runs the traffic-light generation with the options of qacsemaf
// generate (its positions, or a plan node through the main form) and writes the list report of
// the result to PDF, XLSX and/or DOCX, or the competence report (requirement table and chart) of
// one evaluated employee, or prints that report's rows (--rows). The competence report's chart is
// drawn by the chart painter the program installed: the window program installs the charting
// library's.

#include "tools/GenerateCommand.h"

#include <QStringList>

#include <functional>

// The line of the command list.
inline constexpr char kReportSummary[] = QT_TRANSLATE_NOOP(
    "qacsemaf", "genera el semáforo y escribe el listado o el reporte de competencias de un empleado (PDF, XLSX, DOCX)");

class QTextStream;
class TDtmAcSemaf;
class TReportesAcSemaf;

struct ReportOptions {
    bool competence = false;   // the per-employee competence report instead of the list
    QString pdf;
    QString xlsx;
    QString docx;
    QString employee;          // competence: the evaluated employee; empty: the first one
    QString rows;              // competence: print the report's rows (csv, json) instead of a file
};

// The report on a plan node, handed the read command line; returns the exit code. Only the
// window program, which opens the main form, has one.
using ReportOnPlanNode = std::function<int(const CommandLine &, const PlanNode &, const ReportOptions &)>;

// `arguments` start with the program name ("qacsemaf report"). Every argument is checked before
// the run; returns the process exit code.
int runReportCommand(const QStringList &arguments);
// The same with the run on a plan node.
int runReportCommandWith(const QStringList &arguments, const ReportOnPlanNode &onPlanNode);

// Writes (or prints) the report asked for from the result the data module holds, its form
// (`Forma`) and company header set as the main window leaves them; throws Exception.
void writeReport(const ReportOptions &options, TDtmAcSemaf &module, TReportesAcSemaf &reports, QTextStream &out);
