#pragma once
// Hides what is not SQL code in a statement: quoted strings, quoted identifiers and comments
// become blanks of the same length, so scanners can look for parameters, keywords and ";"
// without mistaking text for code, and positions still point into the original statement.

#include <QString>

namespace appserver {

class SqlMask {
public:
    static QString codeOnly(const QString &statement);
};

} // namespace appserver
