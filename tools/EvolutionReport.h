#pragma once
// qacsemaf report evolution A B: the report "Evolución del Plan" of two snapshots of one plan
// (tools/SnapshotCommand.h) to PDF, XLSX and/or DOCX, headless.

#include <QStringList>

// `arguments` start with "qacsemaf report evolution". Returns the exit code.
int runEvolutionReport(const QStringList &arguments);
