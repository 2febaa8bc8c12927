#pragma once
// Writes the conditions of a request (query by example, the look-up dialog) as SQL of the
// server's own: each condition names one of the statement's searchable columns, its value is
// typed by that column's kind and bound (":__Cn" markers, values in order), texts compare as
// typed or upper-cased, "starts with" and "contains" escape the user's % and _, a date stands
// for its whole day. Conditions join with AND. Anything else is refused.

#include "appserver/CatalogValue.h"
#include "appserver/ProtocolNames.h"

#include <QHash>
#include <QVariantList>

namespace appserver {

class SqlDialect;

struct SearchableColumn {
    QString spelled;   // as the statement's text writes it ("a.cod_carg")
    ValueKind kind = ValueKind::Text;
};

class ConditionWriter {
public:
    // columns: the names a request may use (upper case, with and without qualifier) -> column.
    ConditionWriter(const QHash<QString, SearchableColumn> &columns, const SqlDialect &dialect)
        : m_columns(columns), m_dialect(dialect)
    {
    }

    // Empty on success, else why not (Spanish). `sql` gets the conditions joined by AND,
    // `values` their bound values.
    QString write(const QList<Condition> &conditions, QString *sql, QVariantList *values) const;

private:
    QString one(const Condition &condition, QString *sql, QVariantList *values) const;
    QString marker(const QVariant &value, QVariantList *values) const;

    const QHash<QString, SearchableColumn> &m_columns;
    const SqlDialect &m_dialect;
};

} // namespace appserver
