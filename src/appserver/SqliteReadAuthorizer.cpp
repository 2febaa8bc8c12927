#include "appserver/SqliteReadAuthorizer.h"

#include <QByteArray>
#include <QSet>

#include <sqlite3.h>

namespace appserver {

namespace {

int callback(void *authorizer, int action, const char *first, const char *second, const char *, const char *)
{
    return static_cast<const SqliteReadAuthorizer *>(authorizer)->decide(action, first, second);
}

bool sameName(const char *name, const char *expected)
{
    return name && qstricmp(name, expected) == 0;
}

// The functions the module's statements call (LIKE compiles to one), in lower case.
bool knownFunction(const char *name)
{
    static const QSet<QByteArray> functions{"count", "max",   "min",   "sum",    "avg",  "trim",
                                            "ltrim", "rtrim", "upper", "lower",  "like", "coalesce",
                                            "ifnull", "substr", "length", "abs", "round", "nullif"};
    return name && functions.contains(QByteArray(name).toLower());
}

} // namespace

SqliteReadAuthorizer::SqliteReadAuthorizer(sqlite3 *handle) : m_handle(handle)
{
    sqlite3_set_authorizer(m_handle, callback, this);
}

SqliteReadAuthorizer::~SqliteReadAuthorizer()
{
    sqlite3_set_authorizer(m_handle, nullptr, nullptr);
}

int SqliteReadAuthorizer::decide(int action, const char *first, const char *second) const
{
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE:
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        return SQLITE_OK;
    case SQLITE_READ:
        // first: the table, second: the column. The audit record is never the read path's; the
        // sessions only while the server checks a user's (with its password).
        if (sameName(first, "GN_AUDIT"))
            return SQLITE_DENY;
        if ((sameName(first, "GN_USUAR") && sameName(second, "PAS_USUA")) || sameName(first, "GN_SESIO"))
            return m_credentials ? SQLITE_OK : SQLITE_DENY;
        return SQLITE_OK;
    case SQLITE_FUNCTION:
        return knownFunction(second) ? SQLITE_OK : SQLITE_DENY;
    default:
        return SQLITE_DENY;
    }
}

} // namespace appserver
