#pragma once
// qacsemaf generate: runs the module's traffic-light generation headless on an SQLite file for
// one target position and its candidate positions, and prints the result table (a coloured
// table, JSON or CSV).

#include <QStringList>

// `arguments` start with the program name ("qacsemaf generate"). Returns the process exit code.
int runGenerateCommand(const QStringList &arguments);
