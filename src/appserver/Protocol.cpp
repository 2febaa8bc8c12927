#include "Protocol.h"

#include <array>
#include <utility>

namespace appserver {

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

// The cells of a row that is already a list of values.
class VariantCells : public RowCells {
public:
    const QVariantList *row = nullptr;
    bool typed() const override { return false; }
    QVariant value(int column) const override { return row->at(column); }
    bool isNull(int column) const override { return row->at(column).isNull(); }
    double toDouble(int column) const override { return row->at(column).toDouble(); }
    int toInt(int column) const override { return row->at(column).toInt(); }
    QString toText(int column) const override { return row->at(column).toString(); }
};

} // namespace

void feedRows(const FetchResult &result, RowSink &sink)
{
    sink.fields(result.fields);
    VariantCells cells;
    for (const QVariantList &row : result.rows) {
        cells.row = &row;
        sink.row(cells);
    }
}

} // namespace appserver
