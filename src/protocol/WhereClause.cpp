#include "protocol/WhereClause.h"

namespace protocol {

namespace {

bool followedBy(const QList<SqlToken> &tokens, int i, QLatin1String word)
{
    return i + 1 < tokens.size() && tokens.at(i + 1).isWord(word);
}

// ORDER and GROUP count only with their BY, so that "WITHIN GROUP (...)" ends nothing.
bool endsWhereClause(const QList<SqlToken> &tokens, int i)
{
    const SqlToken &token = tokens.at(i);
    if (token.isSymbol(QLatin1String(";")))
        return true;
    if (token.kind != SqlToken::Kind::Word)
        return false;
    const QString &word = token.text;
    if (word == QLatin1String("ORDER") || word == QLatin1String("GROUP"))
        return followedBy(tokens, i, QLatin1String("BY"));
    if (word == QLatin1String("FETCH"))
        return followedBy(tokens, i, QLatin1String("FIRST")) || followedBy(tokens, i, QLatin1String("NEXT"));
    return word == QLatin1String("HAVING") || word == QLatin1String("LIMIT") || word == QLatin1String("OFFSET")
           || word == QLatin1String("UNION") || word == QLatin1String("INTERSECT")
           || word == QLatin1String("EXCEPT");
}

// Calls `visit` with each token outside parentheses in [from, to) until it returns true; the
// index it stopped at, or `to`.
template <typename Visit>
int outerTokens(const QList<SqlToken> &tokens, int from, int to, Visit visit)
{
    int depth = 0;
    for (int i = from; i < to; ++i) {
        const SqlToken &token = tokens.at(i);
        if (token.isSymbol(QLatin1String("(")))
            ++depth;
        else if (token.isSymbol(QLatin1String(")")))
            --depth;
        else if (depth == 0 && visit(i))
            return i;
    }
    return to;
}

} // namespace

int WhereClause::endFrom(const QList<SqlToken> &tokens, int from)
{
    return outerTokens(tokens, from, int(tokens.size()), [&](int i) { return endsWhereClause(tokens, i); });
}

bool WhereClause::hasOuterOr(const QList<SqlToken> &tokens, int from, int to)
{
    return outerTokens(tokens, from, to, [&](int i) { return tokens.at(i).isWord(QLatin1String("OR")); }) < to;
}

WhereClause WhereClause::of(const QList<SqlToken> &tokens)
{
    WhereClause clause;
    clause.end = endFrom(tokens, 0);
    const int where = outerTokens(tokens, 0, clause.end,
                                  [&](int i) { return tokens.at(i).isWord(QLatin1String("WHERE")); });
    if (where < clause.end) {
        clause.keyword = where;
        clause.joinedByOr = hasOuterOr(tokens, where + 1, clause.end);
    }
    return clause;
}

} // namespace protocol
