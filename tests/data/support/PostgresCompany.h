#pragma once
// Test and benchmark support: the same company on PostgreSQL. Copies every table of a
// CompanyBuilder file into the database named by a libpq keyword text (its tables are replaced),
// sets up the reading login, the writing role and row security as `seed` does, and points the
// module's session at it (the pgsql protocol), so a run can be compared row for row with the file.

#include "framework/Session.h"

#include <QString>

class PostgresCompany {
public:
    // Empty on success, else why the copy failed.
    static QString copyFrom(const QString &sqlitePath, const QString &connInfo);
    // The session of the user ADMIN in `company` on the pgsql protocol over that database (the
    // database login goes to libpq's environment).
    static Session session(const QString &connInfo, int company);
};
