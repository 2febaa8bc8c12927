#pragma once
// Everything PostgreSQL needs so that it holds the application server's rules by itself, behind
// the server's own checks: the reading login (ReaderRole), the role applies act as (WriterRole),
// row security by company (CompanyRowSecurity) and the functions taken from everyone
// (FunctionLockdown). Run by `seed` and the test setup once the tables exist, by their owner.

#include "tools/dbtools/DbOutcome.h"

#include <QSqlDatabase>
#include <QString>

namespace dbtools {

class ServerAccess {
public:
    // Inside the caller's transaction. The outcome's notices say which steps needed a superuser
    // and were skipped.
    static DbOutcome setUp(QSqlDatabase &db, const QString &readerRole, const QString &readerPassword,
                           const QString &writerRole);
    // The same with the roles a connection text names (readuser=, writerole=; the module's own
    // roles by default). The reader gets `readerPassword`, never the writer's: when it is empty
    // the role keeps the password it has, and a role made here without one is noticed.
    static DbOutcome setUpFor(QSqlDatabase &db, const QString &connInfo, const QString &readerPassword);
};

} // namespace dbtools
