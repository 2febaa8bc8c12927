#pragma once
// The PostgreSQL role that the application server's applies act as: it may read every table and
// change the module's rows, but not who may use what (users, their companies, the companies
// themselves). It has no login of its own: the server's writer login switches to it, so that row
// security by company holds for writes as for reads. The login running the set-up becomes a
// member of it.

#include "tools/dbtools/DbOutcome.h"

#include <QSqlDatabase>
#include <QString>

namespace dbtools {

class WriterRole {
public:
    // Runs inside the caller's transaction when there is one.
    static DbOutcome grant(QSqlDatabase &db, const QString &role);
};

} // namespace dbtools
