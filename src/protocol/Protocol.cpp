#include "protocol/Protocol.h"

#include <array>
#include <utility>

namespace protocol {

namespace {
const std::array<std::pair<FieldType, const char *>, 10> kTypeNames{{
    {FieldType::Unknown, "unknown"},   {FieldType::Smallint, "smallint"},
    {FieldType::Integer, "integer"},   {FieldType::Largeint, "largeint"},
    {FieldType::Float, "float"},       {FieldType::String, "string"},
    {FieldType::FixedChar, "fixedchar"}, {FieldType::DateTime, "datetime"},
    {FieldType::Blob, "blob"},         {FieldType::Boolean, "boolean"},
}};
} // namespace

QString fieldTypeName(FieldType type)
{
    for (const auto &[t, name] : kTypeNames)
        if (t == type)
            return QString::fromLatin1(name);
    return QStringLiteral("unknown");
}

FieldType fieldTypeFromName(const QString &name)
{
    for (const auto &[t, n] : kTypeNames)
        if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return t;
    return FieldType::Unknown;
}

namespace {
const std::array<std::pair<ConditionOperator, const char *>, 11> kOperatorNames{{
    {ConditionOperator::Equal, "="},          {ConditionOperator::NotEqual, "<>"},
    {ConditionOperator::Less, "<"},           {ConditionOperator::LessOrEqual, "<="},
    {ConditionOperator::Greater, ">"},        {ConditionOperator::GreaterOrEqual, ">="},
    {ConditionOperator::StartsWith, "startsWith"}, {ConditionOperator::Contains, "contains"},
    {ConditionOperator::IsNull, "isNull"},    {ConditionOperator::IsNotNull, "isNotNull"},
    {ConditionOperator::NoRow, "noRow"},
}};
} // namespace

QString conditionOperatorName(ConditionOperator op)
{
    for (const auto &[o, name] : kOperatorNames)
        if (o == op)
            return QString::fromLatin1(name);
    return {};
}

bool conditionOperatorFromName(const QString &name, ConditionOperator *op)
{
    for (const auto &[o, n] : kOperatorNames)
        if (name == QLatin1String(n)) {
            *op = o;
            return true;
        }
    return false;
}

int indexOfField(const QList<FieldDesc> &fields, const QString &name)
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString feedRows(const FetchResult &result, RowSink &sink)
{
    if (!result.ok())
        return result.error;
    sink.fields(result.fields);
    for (const QVariantList &row : result.rows)
        sink.row(VariantCells(row));
    return {};
}

} // namespace protocol
