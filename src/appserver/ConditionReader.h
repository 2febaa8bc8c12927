#pragma once
// Reads the condition that the look-up dialog and query by example put at the end of a
// statement's WHERE clause (" AND 1=0", " WHERE UPPER(NOM_CARG) LIKE 'GER%' ESCAPE '\' AND
// COD_NODO >= 3") and writes it again from what it understood: comparisons, LIKE, IS [NOT] NULL
// of one of the statement's own columns (or UPPER of it) with a number or a text, joined by AND
// and OR in parentheses. Every value becomes a bound parameter; a comparison of two numbers is
// decided here. Anything else is refused.

#include "appserver/ProtocolNames.h"
#include "protocol/SqlTokenizer.h"

#include <QHash>
#include <QVariantList>

namespace appserver {

class ConditionReader {
public:
    // columns: accepted spelling (upper case) -> the column as the statement writes it.
    explicit ConditionReader(const QHash<QString, QString> &columns) : m_columns(columns) {}

    // Reads tokens [from, to); empty on success, else why not.
    QString read(const QList<SqlToken> &tokens, int from, int to, QString *sql, QVariantList *values);

private:
    QString disjunction(QString *sql);
    QString conjunction(QString *sql);
    QString term(QString *sql);
    QString predicate(QString *sql);
    QString subject(QString *sql);
    QString value(QVariant *bound, double *number, bool *isNumber);
    QString bind(const QVariant &value);

    const SqlToken *peek() const { return m_at < m_end ? &m_tokens->at(m_at) : nullptr; }
    bool acceptWord(QLatin1String word);
    bool acceptSymbol(QLatin1String symbol);
    QString unexpected() const;

    const QHash<QString, QString> &m_columns;
    const QList<SqlToken> *m_tokens = nullptr;
    int m_at = 0;
    int m_end = 0;
    QVariantList *m_values = nullptr;
    int m_depth = 0;
};

} // namespace appserver
