#pragma once
// qacsemaf init: creates an empty database of the module (its tables at this build's schema
// version, no rows but the version and the first administrator) on a new SQLite file or an empty
// PostgreSQL database, whose roles it also sets up.

#include <QStringList>
#include <QtGlobal>

// The line of the command list.
inline constexpr char kInitSummary[] = QT_TRANSLATE_NOOP("qacsemaf", "crea una base de datos vacía con su primer administrador");

// `arguments` start with the program name ("qacsemaf init"). Returns the process exit code.
int runInitCommand(const QStringList &arguments);
