#pragma once
// Takes away from everyone (PUBLIC) the PostgreSQL functions that a read has no business
// calling: ending or signalling other sessions, reloading the configuration, reading server
// files, large objects, changing settings from inside a statement (set_config), sleeping,
// advisory locks, taking transaction ids, notifications, running a text as
// SQL (query_to_xml and its kin) and dblink when installed. The database's owner gets back
// what everyone had (no more), so its own tools keep working; the module's roles get nothing.
// Only a superuser may change what the system's functions allow: run by anyone else it changes
// nothing and says so.

#include "tools/dbtools/DbOutcome.h"

#include <QSqlDatabase>
#include <QStringList>

namespace dbtools {

class FunctionLockdown {
public:
    // Inside the caller's transaction when there is one; a notice instead of a failure without
    // a superuser.
    static DbOutcome apply(QSqlDatabase &db);
    // The functions it takes away (as regprocedure texts) that this database has; `everyones`,
    // when given, gets those of them that PUBLIC may still call.
    static QStringList functions(QSqlDatabase &db, QString *error, QStringList *everyones = nullptr);
};

} // namespace dbtools
