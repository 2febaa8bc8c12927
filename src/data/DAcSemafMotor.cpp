// The data module's profile matching and traffic-light generation: the main form's inputs are
// read here and the work is done by the engine.

#include "data/CatalogEngineReads.h"
#include "data/DAcSemaf.h"

#include "engine/CareerPositions.h"
#include "engine/GenerationInputs.h"
#include "engine/TrafficLightGeneration.h"
#include "framework/dataset/TDtmGnLibre.h"

// The main form's fields and check boxes as the run reads them, converted once here (the
// candidate lists are the form's quoted codes joined by commas); without a main form, nothing is
// ticked and no position is given, so the run stops at its first message.
engine::GenerationInputs TDtmAcSemaf::generationInputs(const IFrmAcSemaf *form)
{
    if (!form)
        return engine::inputsFromCodes({}, {}, {}, {}, {}, false);
    const bool noPosition = form->CargoActual.trimmed().isEmpty();
    // A malformed candidate ends the run where it stands: the rows of the candidates before it stay.
    return engine::inputsFromCodes(form->CargoAspira, form->EmpreAspira,
                                   noPosition ? QStringList() : SepararLista(form->CargoActual),
                                   SepararLista(form->EmpCaActual), form->CategoriasMarcadas(),
                                   form->gBoNexofEduSinPuntos, engine::BadCandidate::EndsTheRun);
}

namespace {

// The whole run on the result table: `appendRows` reads its inputs once the table is emptied.
void regenerar(TDtmAcSemaf &module, const std::function<void()> &appendRows)
{
    const auto relayout = [&module] {
        if (module.Forma)
            module.Forma->ReacomodarGrillaSemaforo();
    };
    engine::regenerateResults(module.CdsAcSemaf, appendRows,
                              [&module](TDataSet *dataSet) { module.CdsAcSemafAfterScroll(dataSet); }, relayout);
}

void generar(TDtmAcSemaf &module, const engine::GenerationInputs &inputs)
{
    engine::TrafficLightGeneration(module.DatosGeneracion(), TDtmAcSemaf::FormateadorSuite()).appendResults(inputs);
}

} // namespace

engine::GenerationDataSets TDtmAcSemaf::DatosGeneracion()
{
    engine::GenerationDataSets dataSets;
    if (CdsTemporal)
        dataSets.reads = std::make_shared<CatalogEngineReads>(*CdsTemporal, QryBiDtpca);
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

// Single quotes are dropped and every comma ends an item; the text after the last comma is an
// item too, even when empty.
QStringList TDtmAcSemaf::SepararLista(const QString &texto)
{
    QStringList items;
    QString current;
    for (const QChar c : texto) {
        if (c == QLatin1Char('\''))
            continue;
        if (c == QLatin1Char(',')) {
            items << current;
            current.clear();
        } else {
            current += c;
        }
    }
    items << current;
    return items;
}

void TDtmAcSemaf::GenerarSemaforoCarrera()
{
    // The form's lists are read once the result table is emptied, as a run that stops at one of
    // their messages leaves it empty.
    regenerar(*this, [this] { GenerarSemaforo(); });
}

void TDtmAcSemaf::GenerarSemaforoCarrera(const engine::GenerationInputs &inputs)
{
    regenerar(*this, [this, &inputs] { generar(*this, inputs); });
}

void TDtmAcSemaf::GenerarSemaforo()
{
    generar(*this, generationInputs(Forma));
}

void TDtmAcSemaf::CdsAcSemafAfterScroll(TDataSet *)
{
    CatalogEngineReads reads(*CdsTemporal, QryBiDtpca);
    engine::refillCareerPositions(CdsAcSemaf, QryAcPprom, reads, CdsCargUsuario, FormateadorSuite());
}

void TDtmAcSemaf::CdsCargUsuarioCOD_CARGValidate(TField *Sender)
{
    engine::fillPositionName(*Sender, QryBiCargo);
}
