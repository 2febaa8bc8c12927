// The data module's profile matching and traffic-light generation: the main form's inputs are
// read here and the work is done by the engine.

#include "DAcSemaf.h"

#include "CareerPositions.h"
#include "DataSetRules.h"
#include "GenerationInputs.h"
#include "TrafficLightGeneration.h"

namespace {

// The main form's fields and check boxes as the run reads them; without a main form, nothing is
// ticked and no position is given, so the run stops at its first message.
engine::GenerationInputs generationInputs(const IFrmAcSemaf *form)
{
    engine::GenerationInputs inputs;
    if (!form)
        return inputs;
    inputs.cargoAspira = form->CargoAspira;
    inputs.empreAspira = form->EmpreAspira;
    inputs.cargoActual = form->CargoActual;
    inputs.empCaActual = form->EmpCaActual;
    inputs.categories = form->CategoriasMarcadas();
    inputs.eduSinPuntos = form->gBoNexofEduSinPuntos;
    return inputs;
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
    return dataSets;
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
    GenerarSemaforoCarrera(generationInputs(Forma));
}

void TDtmAcSemaf::GenerarSemaforoCarrera(const engine::GenerationInputs &inputs)
{
    const auto relayout = [this] {
        if (Forma)
            Forma->ReacomodarGrillaSemaforo();
    };
    engine::TrafficLightGeneration(DatosGeneracion())
        .regenerate(inputs, [this](TDataSet *dataSet) { CdsAcSemafAfterScroll(dataSet); }, relayout);
}

void TDtmAcSemaf::GenerarSemaforo()
{
    engine::TrafficLightGeneration(DatosGeneracion()).appendResults(generationInputs(Forma));
}

void TDtmAcSemaf::CdsAcSemafAfterScroll(TDataSet *)
{
    engine::refillCareerPositions(CdsAcSemaf, QryAcPprom, *CdsTemporal, CdsCargUsuario);
}

void TDtmAcSemaf::CdsCargUsuarioCOD_CARGValidate(TField *Sender)
{
    engine::fillPositionName(*Sender, QryBiCargo);
}
