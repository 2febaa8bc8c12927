#pragma once
// qacsemaf restore: puts a copy made by qacsemaf backup back in place of an SQLite database,
// keeping what the database held in a new file beside it. PostgreSQL dumps go back with pg_restore.

#include <QStringList>
#include <QtGlobal>

// The line of the command list.
inline constexpr char kRestoreSummary[] = QT_TRANSLATE_NOOP("qacsemaf", "restaura una base de datos SQLite desde una copia");

// `arguments` start with the program name ("qacsemaf restore"). Returns the process exit code.
int runRestoreCommand(const QStringList &arguments);
