#include "engine/CareerPositions.h"

#include "framework/dataset/SClientDataSet.h"
#include "framework/dataset/TDtmGnLibre.h"

namespace engine {

namespace {

int smallIntOf(TDataSet &dataSet, const char *field)
{
    return dataSet.FieldByName(QLatin1String(field))->AsInteger();
}

} // namespace

void refillCareerPositions(TDataSet &result, TDataSet &planNode, SClientDataSet &scratch,
                           TClientDataSet &positions)
{
    positions.EmptyDataSet();
    scratch.Close();
    scratch.setCommandText(QString());
    scratch.setCommandText(QStringLiteral("select cod_carg from ac_pprom  WHERE COD_EMPR = :CODEMPR "
                                          " AND COD_menu = :codmenu  and cod_nodo = :codnodo "
                                          " and cod_nodp = :codnodp "));
    scratch.ParamByName(QStringLiteral("CODEMPR"))->setAsSmallInt(smallIntOf(result, "COD_EMCA"));
    scratch.ParamByName(QStringLiteral("codmenu"))->setAsSmallInt(smallIntOf(planNode, "COD_MENU"));
    scratch.ParamByName(QStringLiteral("codnodo"))->setAsSmallInt(smallIntOf(planNode, "COD_NODO"));
    scratch.ParamByName(QStringLiteral("codnodp"))->setAsSmallInt(smallIntOf(planNode, "COD_NODP"));
    scratch.Open();
    const double percentage = result.FieldByName(QStringLiteral("POR_EMPL"))->AsFloat();
    const QVariant profiles = result.FieldByName(QStringLiteral("NUM_PERA"))->AsVariant();
    TField *code = scratch.FieldByName(QStringLiteral("cod_carg"));
    for (scratch.First(); !scratch.Eof(); scratch.Next()) {
        positions.Append();
        positions.FieldByName(QStringLiteral("COD_CARG"))->setAsString(code->AsString());
        positions.FieldByName(QStringLiteral("DtfProcent"))
            ->setAsFloat(percentage != 0 ? DtmGnLibre->FormatearFloat(QStringLiteral("##.##"), percentage)
                                         : percentage);
        positions.FieldByName(QStringLiteral("DtfPerfiles"))->setAsVariant(profiles);
        positions.Post();
    }
}

void fillPositionName(TField &code, TDataSet &activePositions)
{
    const QVariant name = activePositions.Lookup(QStringLiteral("cod_carg"), code.AsString(),
                                                 QStringLiteral("NOM_CARG"));
    if (name.isNull())
        return;
    code.DataSet()->FieldByName(QStringLiteral("DtfCargo"))->setAsString(name.toString().trimmed());
}

} // namespace engine
