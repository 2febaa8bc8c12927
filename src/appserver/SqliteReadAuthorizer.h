#pragma once
// The reading connection's own wall on SQLite, beside the statement registry: SQLite asks it
// about every table column, function and action a statement uses while compiling it, and it
// refuses the stored passwords and sessions (unless the server itself is checking a user), the
// audit record, writes, schema changes, attached files, pragmas and every function the module's
// statements do not use.

#include <QString>

struct sqlite3;

namespace appserver {

class SqliteReadAuthorizer {
public:
    // Installs itself on `handle`; the handle must not outlive it.
    explicit SqliteReadAuthorizer(sqlite3 *handle);
    ~SqliteReadAuthorizer();
    SqliteReadAuthorizer(const SqliteReadAuthorizer &) = delete;
    SqliteReadAuthorizer &operator=(const SqliteReadAuthorizer &) = delete;

    // While set, the server may read GN_USUAR's passwords and GN_SESIO (to check a user).
    void allowCredentials(bool allow) { m_credentials = allow; }

    // SQLite's question, answered (SQLITE_OK, SQLITE_DENY).
    int decide(int action, const char *first, const char *second) const;

private:
    sqlite3 *m_handle;
    bool m_credentials = false;
};

} // namespace appserver
