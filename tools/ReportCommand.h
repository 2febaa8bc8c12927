#pragma once
// qacsemaf report list|competence: runs the traffic-light generation headless with the options
// of qacsemaf generate and writes the list report of the result to PDF and/or XLSX, or the
// competence report (requirement table and chart) of one evaluated employee to PDF.

#include <QStringList>

// `arguments` start with the program name ("qacsemaf report"). Returns the process exit code.
int runReportCommand(const QStringList &arguments);
