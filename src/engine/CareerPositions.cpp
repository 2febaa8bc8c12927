#include "engine/CareerPositions.h"

#include "framework/dataset/SClientDataSet.h"

namespace engine {

namespace {

int smallIntOf(TDataSet &dataSet, const QString &field)
{
    return dataSet.FieldByName(field)->AsInteger();
}

} // namespace

void refillCareerPositions(TDataSet &result, TDataSet &planNode, SClientDataSet &scratch,
                           const StatementUse &useStatement, TClientDataSet &positions, const MaskFormatter &formatter)
{
    namespace f = resultfield;
    const Rounding round = storedRounding(*careerPositionsTable().field(f::DtfProcent), formatter);
    positions.EmptyDataSet();
    scratch.Close();
    useStatement(scratch, QStringLiteral("CargosPlanNodo"), {});
    scratch.ParamByName(QStringLiteral("CODEMPR"))->setAsSmallInt(smallIntOf(result, f::CodEmca));
    scratch.ParamByName(QStringLiteral("codmenu"))->setAsSmallInt(smallIntOf(planNode, QStringLiteral("COD_MENU")));
    scratch.ParamByName(QStringLiteral("codnodo"))->setAsSmallInt(smallIntOf(planNode, QStringLiteral("COD_NODO")));
    scratch.ParamByName(QStringLiteral("codnodp"))->setAsSmallInt(smallIntOf(planNode, QStringLiteral("COD_NODP")));
    scratch.Open();
    const double percentage = result.FieldByName(f::PorEmpl)->AsFloat();
    const QVariant profiles = result.FieldByName(f::NumPera)->AsVariant();
    TField *code = scratch.FieldByName(QStringLiteral("cod_carg"));
    for (scratch.First(); !scratch.Eof(); scratch.Next()) {
        positions.Append();
        positions.FieldByName(f::CodCarg)->setAsString(code->AsString());
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
