#pragma once
// A CompanyBuilder file copied to PostgreSQL and set up as `seed` does, to compare runs row for row.

#include "framework/Session.h"

#include <QString>

class PostgresCompany {
public:
    // Empty on success, else why the copy failed.
    static QString copyFrom(const QString &sqlitePath, const QString &connInfo);
    // ADMIN in `company` on the pgsql protocol (the database login goes to libpq's environment).
    static Session session(const QString &connInfo, int company);
};
