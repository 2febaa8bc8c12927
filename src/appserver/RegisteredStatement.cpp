#include "appserver/RegisteredStatement.h"

#include "protocol/WhereClause.h"

#include <QJsonArray>

#include <algorithm>

namespace appserver {

namespace {

using Kind = SqlToken::Kind;

QStringList upperStrings(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &item : value.toArray())
        list << item.toString().trimmed().toUpper();
    return list;
}

} // namespace

QHash<QString, const ParamValue *> paramsByName(const QList<ParamValue> &params)
{
    QHash<QString, const ParamValue *> byName;
    for (const ParamValue &param : params) {
        const QString key = param.name.toUpper();
        const auto it = byName.constFind(key);
        if (it == byName.constEnd() || (it.value()->value.isNull() && !param.value.isNull()))
            byName.insert(key, &param);
    }
    return byName;
}

QString StatementValues::shape() const
{
    QString shape;
    for (const int size : slotSizes)
        shape += QString::number(size) + QLatin1Char(',');
    return shape + QLatin1Char('|') + condition;
}

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
    if (const QJsonValue given = definition.value(QLatin1String("slots")); !given.isUndefined() && !given.isObject())
        return what + QStringLiteral(" debe dar sus huecos como {\"nombre\": \"clase\"}");
    const QJsonObject slotKinds = definition.value(QLatin1String("slots")).toObject();
    for (auto it = slotKinds.begin(); it != slotKinds.end(); ++it) {
        ValueKind kind;
        if (!valueKindFromName(it.value().toString(), &kind) || kind == ValueKind::Date)
            return what + QStringLiteral(" tiene un hueco de clase desconocida: ") + it.key();
        m_slots.insert(it.key(), kind);
    }
    // "none": a statement that reads no company's rows.
    const bool companyFree = definition.value(QLatin1String("company")).toString() == QLatin1String("none");
    m_companyParams = upperStrings(definition.value(QLatin1String("company")));
    for (const QString &param : std::as_const(m_companyParams))
        m_paramKinds.insert(param, ValueKind::Company);
    if (const QJsonValue given = definition.value(QLatin1String("params")); !given.isUndefined() && !given.isObject())
        return what + QStringLiteral(" debe dar sus parámetros como {\"nombre\": \"clase\"}");
    const QJsonObject paramKinds = definition.value(QLatin1String("params")).toObject();
    for (auto it = paramKinds.begin(); it != paramKinds.end(); ++it) {
        ValueKind kind;
        if (!valueKindFromName(it.value().toString(), &kind) || kind == ValueKind::Texts || kind == ValueKind::Company)
            return what + QStringLiteral(" da al parámetro %1 una clase desconocida").arg(it.key());
        m_paramKinds.insert(it.key().toUpper(), kind);
    }
    bool companySlot = false;
    QStringList params;
    for (const SqlToken &token : std::as_const(m_tokens)) {
        if (token.kind == Kind::Slot && !m_slots.contains(token.text))
            return what + QStringLiteral(" no declara el hueco ") + token.text;
        companySlot = companySlot || (token.kind == Kind::Slot && m_slots.value(token.text) == ValueKind::Company);
        if (token.kind == Kind::Param) {
            params << token.text.toUpper();
            if (!m_paramKinds.contains(token.text.toUpper()))
                return what + QStringLiteral(" no dice de qué clase es el parámetro ") + token.text;
        }
    }
    for (auto it = m_paramKinds.cbegin(); it != m_paramKinds.cend(); ++it)
        if (!params.contains(it.key()))
            return what + QStringLiteral(" no tiene el parámetro ") + it.key();
    for (auto it = m_slots.cbegin(); it != m_slots.cend(); ++it)
        if (m_paramKinds.contains(it.key().toUpper()))
            return what + QStringLiteral(" llama igual a un hueco y a un parámetro: ") + it.key();
    m_rowsColumn = definition.value(QLatin1String("rows")).toString();
    if (m_companyParams.isEmpty() && !companySlot && m_rowsColumn.isEmpty() && !companyFree)
        return what + QStringLiteral(" no dice dónde está su empresa");
    const WhereClause clause = WhereClause::of(m_tokens);
    m_where = clause.keyword;
    m_clauseEnd = clause.end;
    const QJsonValue conditionsValue = definition.value(QLatin1String("conditions"));
    if (!conditionsValue.isUndefined() && !conditionsValue.isObject())
        return what + QStringLiteral(" debe dar sus columnas de búsqueda con su clase: {\"columna\": \"clase\"}");
    const QJsonObject conditionColumns = conditionsValue.toObject();
    // A condition joins the clause with AND, which an OR outside parentheses would outrank.
    if (!conditionColumns.isEmpty() && clause.joinedByOr)
        return what + QStringLiteral(" admite condiciones, pero su WHERE une con OR fuera de paréntesis");
    for (auto it = conditionColumns.begin(); it != conditionColumns.end(); ++it) {
        SearchableColumn column{it.key(), ValueKind::Text};
        if (!valueKindFromName(it.value().toString(), &column.kind) || column.kind == ValueKind::Texts
            || column.kind == ValueKind::Company)
            return what + QStringLiteral(" da a la columna %1 una clase desconocida").arg(it.key());
        m_conditionColumns.insert(column.spelled.toUpper(), column);
        m_conditionColumns.insert(column.spelled.section(QLatin1Char('.'), -1).toUpper(), column);
    }
    return {};
}

bool RegisteredStatement::paramKind(const QString &name, ValueKind *kind) const
{
    const auto found = m_paramKinds.constFind(name.toUpper());
    if (found == m_paramKinds.constEnd())
        return false;
    *kind = found.value();
    return true;
}

QString RegisteredStatement::bind(const FetchRequest &request, const SqlDialect &dialect, StatementValues *values) const
{
    *values = {};
    const auto byName = paramsByName(request.params);
    for (const SqlToken &token : m_tokens) {
        if (token.kind != Kind::Slot)
            continue;
        const ValueKind kind = m_slots.value(token.text);
        const ParamValue *given = byName.value(token.text.toUpper());
        QVariant value;
        QString why = QStringLiteral("falta el valor");
        if (!given || !toCatalogValue(given->value, kind, &value, &why) || value.isNull())
            return QStringLiteral("El valor de %1 en la sentencia %2 no sirve: %3").arg(token.text, m_name, why);
        if (kind == ValueKind::Texts) {
            const QStringList texts = value.toStringList();
            for (const QString &text : texts)
                values->slotValues << text;
            values->slotSizes << int(texts.size());
            continue;
        }
        if (kind == ValueKind::Company)
            values->companies << int(value.toLongLong());
        values->slotValues << value;
        values->slotSizes << 1;
    }
    if (request.conditions.isEmpty())
        return {};
    if (m_conditionColumns.isEmpty()
        && !std::all_of(request.conditions.cbegin(), request.conditions.cend(),
                        [](const Condition &c) { return c.op == ConditionOperator::NoRow; }))
        return QStringLiteral("La sentencia %1 no admite condiciones de búsqueda.").arg(m_name);
    const ConditionWriter writer(m_conditionColumns, dialect);
    if (const QString refused = writer.write(request.conditions, &values->condition, &values->conditionValues);
        !refused.isEmpty())
        return QStringLiteral("La búsqueda en la sentencia %1 no se admite: %2.").arg(m_name, refused);
    return {};
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
