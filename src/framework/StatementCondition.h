#pragma once
// Puts the condition that the look-up dialog or query by example adds to a statement where the
// database reads it as one: at the end of the statement's own WHERE clause, ahead of the ORDER
// BY, GROUP BY, HAVING, LIMIT, OFFSET, FETCH, UNION, INTERSECT or EXCEPT that may follow it,
// whatever WHERE or ORDER BY subqueries, texts, quoted names, comments or longer words hold.
// The condition is written as the suite writes it (" AND 1=0", " WHERE COD_EMPR = 1"); its
// leading WHERE or AND gives way to what the statement needs: AND after a WHERE of its own,
// WHERE when it has none. An OR outside parentheses, in the condition or in the statement's
// clause, is put in parentheses, so that the AND joins the two whole. A condition may end in a
// clause of its own (" where cod_empr = 1 order by cod_menu") where the statement ends in none.

#include <QString>

class StatementCondition {
public:
    // The statement with the condition in place; the statement as it is for a blank condition.
    // Throws Exception saying why when either text cannot be read, when the condition holds
    // nothing, or when both end in a clause.
    static QString place(const QString &statement, const QString &condition);
};
