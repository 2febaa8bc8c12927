#pragma once
// Which version of the database schema this build works with, and the refusal of a database of
// another version. The version is the number of the last migration kept in src/data/migrations
// (compiled in); a database records its own in AC_VERSI, and one without that table is version 1.

#include <QString>
#include <QStringList>

class QSqlQuery;

namespace appserver {

class SchemaVersion {
public:
    // The table and column that hold a database's version.
    static QString table() { return QStringLiteral("AC_VERSI"); }

    // The version this build works with: the number of its last migration.
    static int current();
    // The migrations as compiled in, ordered by number ("0002_version_and_user_state.sql", ...);
    // each file's resource path is migrationPath(name).
    static QStringList migrations();
    static QString migrationPath(const QString &name);
    // The number a migration's file name starts with; 0 when it starts with none.
    static int numberOf(const QString &migration);

    // The version a database records: 1 when `tables` (its table names, any case) lack the
    // version table, else what the table holds. Empty, or why it could not be read.
    static QString read(QSqlQuery &query, const QStringList &tables, int *version);
    // Empty when a database of `version` may be worked on, else the refusal for the user
    // (`database` names it).
    static QString refusal(const QString &database, int version);
};

} // namespace appserver
