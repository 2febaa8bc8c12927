// The data module's profile matching and traffic-light generation: the main form's inputs are
// read here and the work is done by the engine.

#include "data/DAcSemaf.h"
#include "data/StatementCatalog.h"

#include "engine/CareerPositions.h"
#include "engine/DataSetRules.h"
#include "engine/GenerationInputs.h"
#include "engine/TrafficLightGeneration.h"
#include "framework/dataset/TDtmGnLibre.h"

// The main form's fields and check boxes as the run reads them, converted once here; without a
// main form, nothing is ticked and no position is given, so the run stops at its first message.
engine::GenerationInputs TDtmAcSemaf::generationInputs(const IFrmAcSemaf *form)
{
    if (!form)
        return engine::inputsFromTreeLists({}, {}, {}, {}, {}, false);
    // A malformed candidate ends the run where it stands: the rows of the candidates before it stay.
    return engine::inputsFromTreeLists(form->CargoAspira, form->EmpreAspira, form->CargoActual, form->EmpCaActual,
                                       form->CategoriasMarcadas(), form->gBoNexofEduSinPuntos,
                                       engine::BadCandidate::EndsTheRun);
}

namespace {

// The whole run on the result table, with the inputs read once the table is emptied.
void regenerar(TDtmAcSemaf &module, const std::function<engine::GenerationInputs()> &inputs)
{
    const auto relayout = [&module] {
        if (module.Forma)
            module.Forma->ReacomodarGrillaSemaforo();
    };
    engine::TrafficLightGeneration(module.DatosGeneracion(), TDtmAcSemaf::FormateadorSuite())
        .regenerate(inputs, [&module](TDataSet *dataSet) { module.CdsAcSemafAfterScroll(dataSet); }, relayout);
}

} // namespace

engine::GenerationDataSets TDtmAcSemaf::DatosGeneracion()
{
    engine::GenerationDataSets dataSets;
    dataSets.scratch = CdsTemporal;
    dataSets.profile = &QryBiDtpca;
    dataSets.employeeCount = &QryTmEmple;
    dataSets.nonFormal = &QryBiDtpnf;
    dataSets.formal = &QryBiDtpef;
    dataSets.experience = &QryBidtphv;
    dataSets.evaluations = &QryEd3licc;
    dataSets.evaluationLines = &QryEd3dlcc;
    dataSets.result = &CdsAcSemaf;
    dataSets.useStatement = statementUse();
    return dataSets;
}

engine::StatementUse TDtmAcSemaf::statementUse()
{
    return [](SClientDataSet &dataSet, const QString &name, const QVariantMap &slotValues) {
        StatementCatalog::module().use(dataSet, name, slotValues);
    };
}

engine::MaskFormatter TDtmAcSemaf::FormateadorSuite()
{
    return [](const QString &mask, double value) { return DtmGnLibre->FormatearFloat(mask, value); };
}

void TDtmAcSemaf::DefinirEventosMotor()
{
    CdsAcSemaf.AfterScroll = [this](TDataSet *dataSet) { CdsAcSemafAfterScroll(dataSet); };
    CdsDtpcaRep.AfterScroll = [this](TDataSet *dataSet) { CdsAcSemafAfterScroll(dataSet); };
    CdsCargUsuario.FieldByName(QStringLiteral("COD_CARG"))->OnValidate = [this](TField *field) {
        CdsCargUsuarioCOD_CARGValidate(field);
    };
}

bool TDtmAcSemaf::MismoRequisito(TDataSet *perfil, TDataSet *empleado) const
{
    return engine::mismoRequisito(*perfil, *empleado);
}

void TDtmAcSemaf::SumarPuntosEducacion(TDataSet *empleado, long double &puntos)
{
    engine::sumarPuntosEducacion(QryBiDtpca, *empleado, Forma && Forma->gBoNexofEduSinPuntos, puntos);
}

void TDtmAcSemaf::SumarPuntosExperiencia(TDataSet *empleado, long double &puntos)
{
    engine::sumarPuntosExperiencia(QryBiDtpca, *empleado, puntos);
}

void TDtmAcSemaf::SumarPuntosCompetencias(long double &puntos)
{
    engine::sumarPuntosCompetencias(QryBiDtpca, QryEd3dlcc, puntos);
}

QStringList TDtmAcSemaf::SepararLista(const QString &texto)
{
    return engine::separarLista(texto);
}

void TDtmAcSemaf::GenerarSemaforoCarrera()
{
    // The form's lists are read once the result table is emptied, as a run that stops at one of
    // their messages leaves it empty.
    regenerar(*this, [this] { return generationInputs(Forma); });
}

void TDtmAcSemaf::GenerarSemaforoCarrera(const engine::GenerationInputs &inputs)
{
    regenerar(*this, [&inputs] { return inputs; });
}

void TDtmAcSemaf::GenerarSemaforo()
{
    engine::TrafficLightGeneration(DatosGeneracion(), FormateadorSuite()).appendResults(generationInputs(Forma));
}

void TDtmAcSemaf::CdsAcSemafAfterScroll(TDataSet *)
{
    engine::refillCareerPositions(CdsAcSemaf, QryAcPprom, *CdsTemporal, statementUse(), CdsCargUsuario, FormateadorSuite());
}

void TDtmAcSemaf::CdsCargUsuarioCOD_CARGValidate(TField *Sender)
{
    engine::fillPositionName(*Sender, QryBiCargo);
}
