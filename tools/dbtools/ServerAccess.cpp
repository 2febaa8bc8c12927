#include "tools/dbtools/ServerAccess.h"

#include "tools/dbtools/CompanyRowSecurity.h"
#include "tools/dbtools/FunctionLockdown.h"
#include "tools/dbtools/ReaderRole.h"
#include "tools/dbtools/WriterRole.h"

namespace dbtools {

DbOutcome ServerAccess::setUp(QSqlDatabase &db, const QString &readerRole, const QString &readerPassword,
                              const QString &writerRole)
{
    DbOutcome outcome = ReaderRole::grant(db, readerRole, readerPassword);
    if (outcome.ok())
        outcome = WriterRole::grant(db, writerRole);
    if (outcome.ok())
        outcome = CompanyRowSecurity::apply(db, readerRole, writerRole);
    if (outcome.ok())
        outcome = FunctionLockdown::apply(db);
    return outcome;
}

} // namespace dbtools
