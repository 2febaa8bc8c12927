#pragma once
// Brings a database's schema forward to the version this build works with, one numbered
// migration (src/data/migrations, compiled in) at a time, each in one transaction that also
// records its number in AC_VERSI. Migrations only go forward. A migration is one file for both
// engines, or, where the engines disagree, one per engine ending as the engine says
// ("NNNN_name.sqlite.sql", "NNNN_name.postgres.sql").

#include "tools/dbtools/DbOutcome.h"

#include <QSqlDatabase>
#include <QStringList>

namespace dbtools {

class SiteEngine;

class SchemaMigrator {
public:
    explicit SchemaMigrator(const QSqlDatabase &db);

    // The version the database records (1 without the version table).
    DbOutcome readVersion(int *version) const;
    // Runs every migration above the database's version, in order; `ran` gets the file name of
    // each one that ran. Stops at the first that fails, whose changes are rolled back. A
    // database newer than this build is refused, named `databaseName`.
    DbOutcome migrate(const QString &databaseName, QStringList *ran);

    // The migration file of one number for `engine`: its own variant where there is one, else
    // the shared file.
    static QString migrationFor(int number, const SiteEngine &engine);
    // A migration's statements in the engine's dialect, comments removed, one per entry.
    static QStringList statementsOf(const QString &migration, const SiteEngine &engine);

private:
    DbOutcome run(int number, const QString &migration);
    QSqlDatabase m_db;
};

} // namespace dbtools
