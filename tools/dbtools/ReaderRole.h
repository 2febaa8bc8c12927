#pragma once
// The PostgreSQL login that the application server's read path uses: it may connect and select
// from the module's tables and nothing else (not the users' passwords), its transactions start
// read-only, and its session starts with the schema and time limits pinned. The audit record and
// the sessions (GN_AUDIT, GN_SESIO) it may neither read nor write. `seed` and the test
// setup create it (or bring an existing one up to date) for the current schema.

#include "tools/dbtools/DbOutcome.h"

#include <QSqlDatabase>
#include <QString>

namespace dbtools {

class ReaderRole {
public:
    // Runs inside the caller's transaction when there is one. An empty password leaves the
    // role's password as it is (a new role then logs in the way the server's rules allow); so
    // does a role that other databases of the cluster use (another site's reader), with a
    // notice: changing it would cut those sites' servers off.
    static DbOutcome grant(QSqlDatabase &db, const QString &role, const QString &password);
};

} // namespace dbtools
