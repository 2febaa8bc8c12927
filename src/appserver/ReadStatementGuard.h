#pragma once
// The first line of defence of the read path: a fetch may run exactly one read statement
// (SELECT, or WITH ... SELECT). Anything else is refused before it reaches the database; the
// read-only connection behind it is the second line.

#include "SqlMask.h"

#include <QString>

namespace appserver {

class ReadStatementGuard {
public:
    // Empty when the statement may run; otherwise the reason, in Spanish.
    static QString check(const QString &statement, SqlSyntax syntax = SqlSyntax::Sqlite);
};

} // namespace appserver
