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
