#pragma once
// Row-level security by company on PostgreSQL: on every table of the schema with a COD_EMPR
// column, the module's reading and writing roles reach a row only when its company is 0 or one
// of the request's companies, which the application server names at the start of each request's
// transaction (SqlDialect::companySetting). Every other login keeps seeing every row, and the
// tables' owner is not held at all (seeding writes as the owner).

#include "tools/dbtools/DbOutcome.h"

#include <QSqlDatabase>
#include <QString>

namespace dbtools {

class CompanyRowSecurity {
public:
    // Run by the tables' owner, inside the caller's transaction when there is one; again after a
    // table was made anew.
    static DbOutcome apply(QSqlDatabase &db, const QString &readerRole, const QString &writerRole);
    // Which tables it guards, in name order.
    static QStringList guardedTables(QSqlDatabase &db, QString *error);
};

} // namespace dbtools
