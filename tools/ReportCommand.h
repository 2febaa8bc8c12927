#pragma once
// qacsemaf report list|competence: runs the traffic-light generation headless with the options
// of qacsemaf generate and writes the list report of the result to PDF, XLSX and/or DOCX, or the
// competence report (requirement table and chart) of one evaluated employee, or prints that
// report's rows (--rows). The competence report's chart is drawn by the chart painter the
// program installed: the window program installs the charting library's.

#include <QStringList>

// `arguments` start with the program name ("qacsemaf report"). Returns the process exit code.
int runReportCommand(const QStringList &arguments);
