#pragma once
// Hides what is not SQL code in a statement: quoted strings, quoted identifiers and comments
// become blanks of the same length, so scanners can look for parameters, keywords and ";"
// without mistaking text for code, and positions still point into the original statement.
// Each engine quotes differently, and reading a statement with the wrong engine's rules is how
// code hides inside what looks like text; so the scanner follows the engine's own lexer:
//  - SQLite: '...', "...", `...`, [...], -- and /* */ comments (not nested);
//  - PostgreSQL: '...', E'...' (backslash escapes), U&'...', "...", $tag$...$tag$,
//    -- and /* */ comments (nested).

#include <QString>

namespace protocol {

enum class SqlSyntax { Sqlite, Postgres };

class SqlMask {
public:
    static QString codeOnly(const QString &statement, SqlSyntax syntax = SqlSyntax::Sqlite);
};

} // namespace protocol
