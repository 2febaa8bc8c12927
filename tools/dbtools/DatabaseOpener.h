#pragma once
// Opens the connections the tools and tests work on: an SQLite file or a PostgreSQL database
// described by a libpq-style text ("host=... port=... dbname=... user=... password=...").

#include "tools/dbtools/DbOutcome.h"

#include <QMap>
#include <QSqlDatabase>

namespace dbtools {

class DatabaseOpener {
public:
    // key=value pairs separated by blanks; a value may be single-quoted (\' and \\ escapes).
    // Returns false with `error` set on a malformed text.
    static bool parseConnInfo(const QString &text, QMap<QString, QString> *pairs, QString *error);

    // Adds a connection named `connectionName` and opens it.
    static DbOutcome openSqlite(const QString &file, const QString &connectionName);
    static DbOutcome openPostgres(const QString &connInfo, const QString &connectionName);
};

} // namespace dbtools
