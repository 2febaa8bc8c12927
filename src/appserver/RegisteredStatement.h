#pragma once
// One statement of the module's catalogue: its text with "{slot}" holes, the kind of every
// parameter and slot, where its company is, and the columns a user may search with their kinds.
// A request names it and sends values; the statement reads those values as the catalogue types
// them and writes the text the server runs: its own text, every value a bound parameter, the
// request's conditions inside the WHERE clause and the rows kept to the user's companies.

#include "appserver/CatalogValue.h"
#include "appserver/ConditionWriter.h"
#include "appserver/ProtocolNames.h"
#include "protocol/SqlTokenizer.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QVariant>

namespace appserver {

class SqlDialect;

// A request's values by name, without regard to case. A dataset may declare a name twice (once
// for each place the statement uses it) and set only the first: the value that was set wins over
// an unset duplicate.
QHash<QString, const ParamValue *> paramsByName(const QList<ParamValue> &params);

// What a request gives a statement: its slot values, companies and conditions.
struct StatementValues {
    QVariantList slotValues;   // in order of the text, a list slot's values one by one
    QList<int> slotSizes;      // how many values each slot gave
    QList<int> companies;      // the values of company slots
    QString condition;         // rendered with ":__Cn" markers; empty when none
    QVariantList conditionValues;
    // What the rendered text depends on besides the statement: the same shape renders the same.
    QString shape() const;
};

class RegisteredStatement {
public:
    // Empty on success, else what is wrong with the definition.
    QString define(const QJsonObject &definition);

    const QString &name() const { return m_name; }
    const QStringList &providers() const { return m_providers; }
    // Parameters whose values are companies (upper case).
    const QStringList &companyParams() const { return m_companyParams; }
    // The kind the catalogue gives the named parameter (any case); false when it names none.
    bool paramKind(const QString &name, ValueKind *kind) const;

    // Reads the request's slot values and conditions as the catalogue types them; empty, or
    // the refusal (Spanish).
    QString bind(const FetchRequest &request, const SqlDialect &dialect, StatementValues *values) const;

    // The text the server runs: named parameters as the catalogue writes them, slot values as
    // ":__Sn", the condition, and, when the statement names a company column and `companyCount`
    // is not negative, that column kept to the user's companies (":__En").
    QString render(const StatementValues &values, int companyCount) const;

private:
    QString m_name;
    QStringList m_providers;
    QString m_text;
    QList<SqlToken> m_tokens;
    QHash<QString, ValueKind> m_slots;          // slot name -> kind
    QHash<QString, ValueKind> m_paramKinds;     // upper-cased parameter -> kind
    QStringList m_companyParams;
    QString m_rowsColumn;
    QHash<QString, SearchableColumn> m_conditionColumns;  // accepted spelling (upper) -> column
    int m_where = -1;          // the top-level WHERE token
    int m_clauseEnd = 0;       // the first top-level token after the WHERE clause (ORDER BY, ...)
};

} // namespace appserver
