#pragma once
// qacsemaf backup: a consistent copy of an SQLite database while others keep working on it.
// PostgreSQL databases are copied with pg_dump.

#include <QStringList>

// `arguments` start with the program name ("qacsemaf backup"). Returns the process exit code.
int runBackupCommand(const QStringList &arguments);
