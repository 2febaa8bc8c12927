#pragma once
// Where the outer statement's WHERE clause is among a statement's tokens. The clause ends at the
// first token outside every parenthesis that begins what may follow it: ORDER BY, GROUP BY,
// HAVING, LIMIT, OFFSET, FETCH FIRST/NEXT, UNION, INTERSECT, EXCEPT, or a ";". Subqueries, texts
// and quoted names hide their own WHERE and ORDER BY. The registry and the workstation read the
// clause here both, so a condition that a workstation puts in it is where the registry looks.

#include "protocol/SqlTokenizer.h"

namespace protocol {

struct WhereClause {
    int keyword = -1;          // the WHERE token; -1 when the outer statement has none
    int end = 0;               // the first token after the clause; the token count when none follows
    bool joinedByOr = false;   // an OR outside parentheses joins the clause's conditions

    static WhereClause of(const QList<SqlToken> &tokens);
    // The first token from `from` on, outside parentheses opened from there, that ends a WHERE
    // clause; the token count when there is none.
    static int endFrom(const QList<SqlToken> &tokens, int from);
    // Whether an OR outside parentheses stands in tokens [from, to).
    static bool hasOuterOr(const QList<SqlToken> &tokens, int from, int to);
};

} // namespace protocol
