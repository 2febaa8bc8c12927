#pragma once
// One statement of the module's registry: its text with "{slot}" holes where a workstation
// writes values into it, the kind of each slot, where its company is, and the columns that the
// look-up dialog may put conditions on. It tells whether a workstation's tokens are this
// statement (reading the values out of them) and writes the text the server runs instead: its
// own text, every value a bound parameter, conditions inside the WHERE clause and the rows kept
// to the user's companies.

#include "appserver/ProtocolNames.h"
#include "protocol/SqlTokenizer.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QVariant>

namespace appserver {

enum class SlotKind { Integer, Number, Text, Texts, Company };

// What a matched text gives: the slot values and the appended condition.
struct StatementValues {
    QVariantList slotValues;   // in order of the text, a list slot's values one by one
    QList<int> slotSizes;      // how many values each slot gave
    QList<int> companies;      // the values of company slots
    QString condition;         // rendered with ":__Cn" markers; empty when none
    QVariantList conditionValues;
};

class RegisteredStatement {
public:
    // Empty on success, else what is wrong with the definition.
    QString define(const QJsonObject &definition);

    const QString &name() const { return m_name; }
    const QStringList &providers() const { return m_providers; }
    // Parameters whose values are companies (upper case).
    const QStringList &companyParams() const { return m_companyParams; }
    bool hasConditions() const { return !m_conditionColumns.isEmpty(); }

    // Whether `tokens` are this statement; fills `values` when they are. A text that is this
    // statement with a condition it cannot take at the end of its WHERE clause sets `nearly` to
    // why (for the refusal).
    bool matches(const QList<SqlToken> &tokens, StatementValues *values, QString *nearly) const;

    // The text the server runs: named parameters as the workstation sent them, slot values as
    // ":__Sn", the condition, and, when the statement names a company column and `companies`
    // is given, that column kept to those companies (":__En").
    QString render(const StatementValues &values, int companyCount) const;

private:
    bool matchCondition(const QList<SqlToken> &tokens, int *at, StatementValues *values, QString *nearly) const;
    bool matchSlot(const SqlToken &slot, const QList<SqlToken> &tokens, int *at, StatementValues *values) const;
    static bool sameToken(const SqlToken &mine, const SqlToken &theirs);

    QString m_name;
    QStringList m_providers;
    QString m_text;
    QList<SqlToken> m_tokens;
    QHash<QString, SlotKind> m_slots;
    QStringList m_companyParams;
    QString m_rowsColumn;
    QHash<QString, QString> m_conditionColumns;   // accepted spelling (upper) -> as the text writes it
    int m_where = -1;          // the top-level WHERE token
    int m_clauseEnd = 0;       // the first top-level token after the WHERE clause (ORDER BY, ...)
};

} // namespace appserver
