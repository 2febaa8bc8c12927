#pragma once
// Reads a statement into tokens the way the database's own lexer would, for the statement
// registry: words (upper-cased), numbers, strings (their content), named parameters (":name"),
// symbols, and, in the registry's own texts only, slots ("{name}") where a workstation writes a
// value into the text. Comments are skipped. Anything the module's statements never use and
// whose reading differs between engines (quoted names, escape and dollar-quoted strings, blob
// and hexadecimal literals, "?" markers, unknown characters) is refused, so no token can mean
// one thing here and another to the database. A workstation that only looks for a statement's
// clauses may ask for double-quoted names, which read alike on both engines.

#include "protocol/SqlMask.h"

#include <QFlags>
#include <QList>
#include <QString>
#include <QVariant>

namespace protocol {

struct SqlToken {
    enum class Kind { Word, Number, String, Param, Symbol, Slot, QuotedName };
    Kind kind = Kind::Word;
    // Word, Param: upper-cased name; String, QuotedName: the content; Slot: the slot's name
    QString text;
    int start = 0;  // where the token is in the text, end excluded
    int end = 0;

    bool is(Kind k, QLatin1String value) const { return kind == k && text == value; }
    bool isWord(QLatin1String word) const { return is(Kind::Word, word); }
    bool isSymbol(QLatin1String symbol) const { return is(Kind::Symbol, symbol); }
};

class SqlTokenizer {
public:
    enum Option {
        NoOption = 0,
        ReadSlots = 0x1,        // "{name}" is a slot (the registry's own texts)
        ReadQuotedNames = 0x2,  // "name" is a quoted name instead of a refusal
    };
    Q_DECLARE_FLAGS(Options, Option)

    // Empty on success, else why the text cannot be read.
    static QString tokenize(const QString &text, SqlSyntax syntax, QList<SqlToken> *tokens,
                            Options options = NoOption);
    // A number as a workstation writes one, with its sign, from tokens[*at]: a whole number as
    // a qlonglong, any other as a double; false (and `at` unmoved) when there is none.
    static bool signedNumber(const QList<SqlToken> &tokens, int *at, QVariant *value);
};

} // namespace protocol

Q_DECLARE_OPERATORS_FOR_FLAGS(protocol::SqlTokenizer::Options)
