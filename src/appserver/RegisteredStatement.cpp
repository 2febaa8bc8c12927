#include "appserver/RegisteredStatement.h"

#include "appserver/ConditionReader.h"
#include "protocol/WhereClause.h"

#include <QJsonArray>

namespace appserver {

namespace {

using Kind = SqlToken::Kind;

bool slotKindOf(const QString &text, SlotKind *kind)
{
    static const QHash<QString, SlotKind> kinds{{QStringLiteral("integer"), SlotKind::Integer},
                                                {QStringLiteral("number"), SlotKind::Number},
                                                {QStringLiteral("text"), SlotKind::Text},
                                                {QStringLiteral("texts"), SlotKind::Texts},
                                                {QStringLiteral("company"), SlotKind::Company}};
    const auto found = kinds.constFind(text);
    if (found == kinds.constEnd())
        return false;
    *kind = found.value();
    return true;
}

QStringList upperStrings(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &item : value.toArray())
        list << item.toString().trimmed().toUpper();
    return list;
}

} // namespace

QString RegisteredStatement::define(const QJsonObject &definition)
{
    m_name = definition.value(QLatin1String("name")).toString();
    for (const QJsonValue &provider : definition.value(QLatin1String("providers")).toArray())
        m_providers << provider.toString();
    m_text = definition.value(QLatin1String("text")).toString();
    if (m_name.isEmpty() || m_providers.isEmpty() || m_text.trimmed().isEmpty())
        return QStringLiteral("una sentencia del registro no tiene nombre, proveedor o texto");
    const QString what = QStringLiteral("la sentencia %1 del registro").arg(m_name);
    const QString unreadable = SqlTokenizer::tokenize(m_text, SqlSyntax::Sqlite, &m_tokens, SqlTokenizer::ReadSlots);
    if (!unreadable.isEmpty())
        return what + QStringLiteral(": ") + unreadable;
    const QJsonObject slotKinds = definition.value(QLatin1String("slots")).toObject();
    for (auto it = slotKinds.begin(); it != slotKinds.end(); ++it) {
        SlotKind kind;
        if (!slotKindOf(it.value().toString(), &kind))
            return what + QStringLiteral(" tiene un hueco de clase desconocida: ") + it.key();
        m_slots.insert(it.key(), kind);
    }
    bool companySlot = false;
    QStringList params;
    for (const SqlToken &token : std::as_const(m_tokens)) {
        if (token.kind == Kind::Slot && !m_slots.contains(token.text))
            return what + QStringLiteral(" no declara el hueco ") + token.text;
        companySlot = companySlot || (token.kind == Kind::Slot && m_slots.value(token.text) == SlotKind::Company);
        if (token.kind == Kind::Param)
            params << token.text;
    }
    // "none": a statement that reads no company's rows.
    const bool companyFree = definition.value(QLatin1String("company")).toString() == QLatin1String("none");
    m_companyParams = upperStrings(definition.value(QLatin1String("company")));
    for (const QString &param : std::as_const(m_companyParams))
        if (!params.contains(param))
            return what + QStringLiteral(" no tiene el parámetro de empresa ") + param;
    m_rowsColumn = definition.value(QLatin1String("rows")).toString();
    if (m_companyParams.isEmpty() && !companySlot && m_rowsColumn.isEmpty() && !companyFree)
        return what + QStringLiteral(" no dice dónde está su empresa");
    const WhereClause clause = WhereClause::of(m_tokens);
    m_where = clause.keyword;
    m_clauseEnd = clause.end;
    const QJsonArray conditionColumns = definition.value(QLatin1String("conditions")).toArray();
    // A condition joins the clause with AND, which an OR outside parentheses would outrank.
    if (!conditionColumns.isEmpty() && clause.joinedByOr)
        return what + QStringLiteral(" admite condiciones, pero su WHERE une con OR fuera de paréntesis");
    for (const QJsonValue &column : conditionColumns) {
        const QString spelled = column.toString();
        m_conditionColumns.insert(spelled.toUpper(), spelled);
        m_conditionColumns.insert(spelled.section(QLatin1Char('.'), -1).toUpper(), spelled);
    }
    return {};
}

bool RegisteredStatement::sameToken(const SqlToken &mine, const SqlToken &theirs)
{
    if (mine.kind != theirs.kind)
        return false;
    if (mine.kind == Kind::Number)
        return mine.text.toDouble() == theirs.text.toDouble();
    return mine.text == theirs.text;
}

bool RegisteredStatement::matchSlot(const SqlToken &slot, const QList<SqlToken> &tokens, int *at,
                                    StatementValues *values) const
{
    switch (m_slots.value(slot.text)) {
    case SlotKind::Company:
    case SlotKind::Integer:
    case SlotKind::Number: {
        const SlotKind kind = m_slots.value(slot.text);
        QVariant number;
        if (!SqlTokenizer::signedNumber(tokens, at, &number)
            || (kind != SlotKind::Number && number.typeId() != QMetaType::LongLong))
            return false;
        if (kind == SlotKind::Company) {
            const qlonglong company = number.toLongLong();
            if (company < -32768 || company > 32767)
                return false;
            values->companies << int(company);
        }
        values->slotValues << number;
        values->slotSizes << 1;
        return true;
    }
    case SlotKind::Text:
        if (*at >= tokens.size() || tokens.at(*at).kind != Kind::String)
            return false;
        values->slotValues << tokens.at((*at)++).text;
        values->slotSizes << 1;
        return true;
    case SlotKind::Texts: {
        int count = 0;
        do {
            if (*at >= tokens.size() || tokens.at(*at).kind != Kind::String)
                return false;
            values->slotValues << tokens.at((*at)++).text;
            ++count;
        } while (*at < tokens.size() && tokens.at(*at).isSymbol(QLatin1String(",")) && ++*at);
        values->slotSizes << count;
        return true;
    }
    }
    return false;
}

bool RegisteredStatement::matches(const QList<SqlToken> &tokens, StatementValues *values, QString *nearly) const
{
    *values = {};
    int at = 0;
    for (int i = 0; i <= m_tokens.size(); ++i) {
        if (i == m_clauseEnd && !matchCondition(tokens, &at, values, nearly))
            return false;
        if (i == m_tokens.size())
            break;
        const SqlToken &mine = m_tokens.at(i);
        if (mine.kind == Kind::Slot) {
            if (!matchSlot(mine, tokens, &at, values))
                return false;
        } else if (at >= tokens.size() || !sameToken(mine, tokens.at(at++))) {
            return false;
        }
    }
    return at == tokens.size();
}

// The look-up dialog's condition stands at the end of the WHERE clause: after "AND" when the
// statement has a WHERE of its own, after a "WHERE" it starts when not. No condition is fine.
bool RegisteredStatement::matchCondition(const QList<SqlToken> &tokens, int *at, StatementValues *values,
                                         QString *nearly) const
{
    const QLatin1String joint = m_where >= 0 ? QLatin1String("AND") : QLatin1String("WHERE");
    if (*at >= tokens.size() || !tokens.at(*at).isWord(joint))
        return true;
    if (!hasConditions())
        return false;
    const int end = WhereClause::endFrom(tokens, *at + 1);
    ConditionReader reader(m_conditionColumns);
    *nearly = reader.read(tokens, *at + 1, end, &values->condition, &values->conditionValues);
    *at = end;
    return nearly->isEmpty();
}

QString RegisteredStatement::render(const StatementValues &values, int companyCount) const
{
    QStringList extra;
    if (!values.condition.isEmpty())
        extra << QLatin1Char('(') + values.condition + QLatin1Char(')');
    if (!m_rowsColumn.isEmpty() && companyCount >= 0) {
        QStringList markers{QStringLiteral("0")};
        for (int i = 1; i <= companyCount; ++i)
            markers << QStringLiteral(":__E%1").arg(i);
        extra << QStringLiteral("%1 IN (%2)").arg(m_rowsColumn, markers.join(QStringLiteral(", ")));
    }
    QString sql;
    int copied = 0;
    int slotIndex = 0;
    int marker = 0;
    auto copyUpTo = [&](int position) {
        sql += QStringView(m_text).mid(copied, position - copied);
        copied = position;
    };
    for (int i = 0; i <= m_tokens.size(); ++i) {
        const int position = i < m_tokens.size() ? m_tokens.at(i).start : int(m_text.size());
        if (!extra.isEmpty() && i == m_where + 1 && m_where >= 0) {
            copyUpTo(position);
            sql += QLatin1Char('(');
        }
        if (!extra.isEmpty() && i == m_clauseEnd) {
            copyUpTo(position);
            sql += (m_where >= 0 ? QStringLiteral(") AND ") : QStringLiteral(" WHERE "))
                   + extra.join(QStringLiteral(" AND ")) + QLatin1Char(' ');
        }
        if (i == m_tokens.size())
            break;
        const SqlToken &token = m_tokens.at(i);
        if (token.kind != Kind::Slot)
            continue;
        copyUpTo(token.start);
        QStringList markers;
        for (int k = 0, count = values.slotSizes.value(slotIndex++, 1); k < count; ++k)
            markers << QStringLiteral(":__S%1").arg(++marker);
        sql += markers.join(QStringLiteral(", "));
        copied = token.end;
    }
    copyUpTo(int(m_text.size()));
    return sql;
}

} // namespace appserver
