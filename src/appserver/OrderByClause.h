#pragma once
// The final ORDER BY of a read statement, when it is a plain list of columns, so that both
// engines give the same order: NULL sorts as the smallest value on both (SQLite's rule; on
// PostgreSQL the clause gets NULLS FIRST/LAST), and rows that tie on every ordering column come
// in the order of their values, column by column, instead of whatever order the engine's plan
// left them in. A statement whose ordering is anything else is left as it is.

#include "appserver/ProtocolNames.h"

#include <QString>
#include <QStringList>

namespace appserver {

class OrderByClause {
public:
    OrderByClause() = default;
    explicit OrderByClause(const QString &statement);

    bool isPlain() const { return m_start >= 0; }
    // The statement with NULLS FIRST (ascending) or NULLS LAST (descending) on every term.
    QString withNullsSmallest(const QString &statement) const;
    // Within each run of rows equal on the ordering columns, orders by all columns.
    void settleTies(const QList<FieldDesc> &fields, QList<QVariantList> *rows) const;
    // Whether settleTies could move any row of an answer with these fields: not when the
    // ordering is not plain or names a column the rows do not show. Such rows can be taken as
    // the engine gives them.
    bool settlesTies(const QList<FieldDesc> &fields) const { return !tieKeys(fields).isEmpty(); }

private:
    // The columns that decide a tie, by position in fields; empty when nothing can be compared.
    QList<int> tieKeys(const QList<FieldDesc> &fields) const;

    struct Term {
        QString column;   // without its table prefix; empty when given by position
        int position = 0; // 1-based, when given by position
        bool descending = false;
    };
    int m_start = -1;     // where the terms begin
    QList<Term> m_terms;
};

} // namespace appserver
