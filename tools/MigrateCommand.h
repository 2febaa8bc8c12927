#pragma once
// qacsemaf migrate: brings a database of the module to the schema version of this build, running
// the numbered migrations it lacks, each in one transaction, and says which ran. SQLite files are
// switched to the rollback journal; on PostgreSQL the module's roles get the new tables.

#include <QStringList>
#include <QtGlobal>

// The line of the command list.
inline constexpr char kMigrateSummary[] = QT_TRANSLATE_NOOP("qacsemaf", "pone una base de datos en la versión actual del esquema");

// `arguments` start with the program name ("qacsemaf migrate"). Returns the process exit code.
int runMigrateCommand(const QStringList &arguments);
