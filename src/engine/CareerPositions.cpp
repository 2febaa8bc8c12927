#include "engine/CareerPositions.h"

#include "engine/EngineReads.h"
#include "framework/dataset/TClientDataSet.h"

namespace engine {

namespace {

int smallIntOf(TDataSet &dataSet, const QString &field)
{
    return dataSet.FieldByName(field)->AsInteger();
}

} // namespace

void refillCareerPositions(TDataSet &result, TDataSet &planNode, EngineReads &reads, TClientDataSet &positions,
                           const MaskFormatter &formatter)
{
    namespace f = resultfield;
    const Rounding round = storedRounding(*careerPositionsTable().field(f::DtfProcent), formatter);
    positions.EmptyDataSet();
    const QStringList codes =
        reads.nodePositions(smallIntOf(result, f::CodEmca), smallIntOf(planNode, QStringLiteral("COD_MENU")),
                            smallIntOf(planNode, QStringLiteral("COD_NODO")), smallIntOf(planNode, QStringLiteral("COD_NODP")));
    const double percentage = result.FieldByName(f::PorEmpl)->AsFloat();
    const QVariant profiles = result.FieldByName(f::NumPera)->AsVariant();
    for (const QString &code : codes) {
        positions.Append();
        positions.FieldByName(f::CodCarg)->setAsString(code);
        positions.FieldByName(f::DtfProcent)->setAsFloat(percentage != 0 ? round(percentage) : percentage);
        positions.FieldByName(f::DtfPerfiles)->setAsVariant(profiles);
        positions.Post();
    }
}

void fillPositionName(TField &code, TDataSet &activePositions)
{
    const QVariant name = activePositions.Lookup(QStringLiteral("cod_carg"), code.AsString(),
                                                 QStringLiteral("NOM_CARG"));
    if (name.isNull())
        return;
    code.DataSet()->FieldByName(resultfield::DtfCargo)->setAsString(name.toString().trimmed());
}

} // namespace engine
