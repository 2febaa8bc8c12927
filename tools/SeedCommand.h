#pragma once
// qacsemaf seed: creates the demo database, or a large synthetic company, on an SQLite file or
// a PostgreSQL database, and prints the rows written per table.

#include <QStringList>
#include <QtGlobal>

// The line of the command list.
inline constexpr char kSeedSummary[] =
    QT_TRANSLATE_NOOP("qacsemaf", "crea la base de demostración o una empresa sintética grande");

// `arguments` start with the program name ("qacsemaf seed"). Returns the process exit code.
int runSeedCommand(const QStringList &arguments);
