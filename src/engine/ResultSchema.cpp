#include "engine/ResultSchema.h"

#include <QVariant>

#include <QStringList>

namespace engine {

namespace {

using T = ResultFieldType;
namespace f = resultfield;

// The green bound as the suite holds it: an extended-precision constant.
constexpr long double kGreenFrom = 91.1L;
constexpr double kYellowFrom = 70.0;

ResultTable makeTrafficLightTable()
{
    ResultTable table;
    table.name = QStringLiteral("CdsAcSemaf");
    table.reportName = QStringLiteral("QryAcSemaf");
    table.bandField = f::PorEmpl;
    table.fields = {
        {f::CodEmpl, T::Float, 0, QStringLiteral("Identificación"), {}, {}},
        // Already a percentage: the display format only appends the sign.
        {f::PorEmpl, T::Float, 0, QStringLiteral("Porcentaje"), QStringLiteral("#,##0.00 %"), QStringLiteral("###.##")},
        {f::NumPera, T::SmallInt, 0, QStringLiteral("Perfiles"), {}, {}},
        {f::ApeEmpl, T::Text, 25, QStringLiteral("Apellidos"), {}, {}},
        {f::NomEmpl, T::Text, 25, QStringLiteral("Nombres"), {}, {}},
        {f::CodEmca, T::SmallInt, 0, {}, {}, {}},
    };
    // The name before the figures; the employing company stays out of sight.
    table.gridColumns = {{f::CodEmpl}, {f::ApeEmpl}, {f::NomEmpl}, {f::PorEmpl}, {f::NumPera}};
    return table;
}

ResultTable makeCareerPositionsTable()
{
    ResultTable table;
    table.name = QStringLiteral("CdsCargUsuario");
    table.bandField = f::DtfProcent;
    table.fields = {
        {f::CodCarg, T::Text, 20, QStringLiteral("Cargo"), {}, {}},
        {f::DtfCargo, T::Text, 20, QStringLiteral("Descripción Cargo"), {}, {}},
        {f::DtfProcent, T::Float, 0, QStringLiteral("Porcentajes"), {}, QStringLiteral("##.##")},
        {f::DtfPerfiles, T::Float, 0, QStringLiteral("Perfiles"), {}, {}},
    };
    return table;
}

} // namespace

const ResultField *ResultTable::field(const QString &fieldName) const
{
    for (const ResultField &candidate : fields)
        if (candidate.name == fieldName)
            return &candidate;
    return nullptr;
}

std::optional<Band> ResultTable::bandOf(const QVariant &percentage) const
{
    if (percentage.isNull() && emptyHasNoBand)
        return std::nullopt;
    return band(percentage.toDouble());
}

QVector<GridColumn> ResultTable::grid() const
{
    if (!gridColumns.isEmpty())
        return gridColumns;
    QVector<GridColumn> columns;
    for (const ResultField &candidate : fields)
        columns.append(GridColumn(candidate.name));
    return columns;
}

QStringList ResultTable::fieldNames() const
{
    QStringList names;
    for (const ResultField &candidate : fields)
        names << candidate.name;
    return names;
}

const ResultTable &trafficLightTable()
{
    static const ResultTable table = makeTrafficLightTable();
    return table;
}

const ResultTable &careerPositionsTable()
{
    static const ResultTable table = makeCareerPositionsTable();
    return table;
}

const ResultTable *resultTable(const QString &dataSetName)
{
    for (const ResultTable *table : {&trafficLightTable(), &careerPositionsTable()})
        if (table->name == dataSetName)
            return table;
    return nullptr;
}

Rounding storedRounding(const ResultField &field, MaskFormatter formatter)
{
    if (field.storedMask.isEmpty())
        return [](double value) { return value; };
    return [mask = field.storedMask, formatter = std::move(formatter)](double value) {
        return formatter(mask, value);
    };
}

Band band(double percentage)
{
    if (static_cast<long double>(percentage) >= kGreenFrom)
        return Band::Green;
    if (percentage >= kYellowFrom)
        return Band::Yellow;
    return Band::Red;
}

Rgb bandColour(Band band)
{
    switch (band) {
    case Band::Green:
        return {146, 226, 107};
    case Band::Yellow:
        return {255, 255, 0};
    case Band::Red:
        break;
    }
    return {255, 0, 0};
}

QString bandName(Band band)
{
    switch (band) {
    case Band::Green:
        return QStringLiteral("verde");
    case Band::Yellow:
        return QStringLiteral("amarillo");
    case Band::Red:
        break;
    }
    return QStringLiteral("rojo");
}

} // namespace engine
