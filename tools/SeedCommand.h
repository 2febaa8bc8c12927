#pragma once
// qacsemaf seed: creates the demo database, or a large synthetic company, on an SQLite file or
// a PostgreSQL database, and prints the rows written per table.

#include <QStringList>

// `arguments` start with the program name ("qacsemaf seed"). Returns the process exit code.
int runSeedCommand(const QStringList &arguments);
