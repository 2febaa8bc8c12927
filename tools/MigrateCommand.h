#pragma once
// qacsemaf migrate: brings a database of the module to the schema version of this build, running
// the numbered migrations it lacks, each in one transaction, and says which ran. SQLite files are
// switched to the rollback journal; on PostgreSQL the module's roles get the new tables.

#include <QStringList>

// `arguments` start with the program name ("qacsemaf migrate"). Returns the process exit code.
int runMigrateCommand(const QStringList &arguments);
