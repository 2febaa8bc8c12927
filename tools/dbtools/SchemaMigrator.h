#pragma once
// Brings a database's schema forward to the version this build works with, one numbered
// migration (src/data/migrations, compiled in) at a time, each in one transaction that also
// records its number in AC_VERSI. Migrations only go forward. A migration is one file for both
// engines, or, where the engines disagree, "NNNN_name.sqlite.sql" and "NNNN_name.postgres.sql".

#include "tools/dbtools/DbOutcome.h"

#include <QSqlDatabase>
#include <QStringList>

namespace dbtools {

class SchemaMigrator {
public:
    explicit SchemaMigrator(const QSqlDatabase &db);

    // The version the database records (1 without the version table).
    DbOutcome readVersion(int *version) const;
    // Runs every migration above the database's version, in order; `ran` gets the file name of
    // each one that ran. Stops at the first that fails, whose changes are rolled back. A
    // database newer than this build is refused, named `databaseName`.
    DbOutcome migrate(const QString &databaseName, QStringList *ran);

    // The migration files of one number for a Qt SQL driver ("QSQLITE", "QPSQL"): its own
    // variant where there is one, else the shared file.
    static QString migrationFor(int number, const QString &driverName);
    // A migration's statements in the driver's dialect, comments removed, one per entry.
    static QStringList statementsOf(const QString &migration, const QString &driverName);

private:
    DbOutcome run(int number, const QString &migration);
    QSqlDatabase m_db;
};

} // namespace dbtools
