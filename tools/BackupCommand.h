#pragma once
// qacsemaf backup: a consistent copy of an SQLite database while others keep working on it.
// PostgreSQL databases are copied with pg_dump.

#include <QStringList>
#include <QtGlobal>

// The line of the command list.
inline constexpr char kBackupSummary[] = QT_TRANSLATE_NOOP("qacsemaf", "copia una base de datos SQLite mientras otros la usan");

// `arguments` start with the program name ("qacsemaf backup"). Returns the process exit code.
int runBackupCommand(const QStringList &arguments);
