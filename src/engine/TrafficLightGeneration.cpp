#include "engine/TrafficLightGeneration.h"

#include "engine/BatchedScorer.h"
#include "engine/DataSetRules.h"
#include "engine/ResultSchema.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/dataset/SClientDataSet.h"

namespace engine {

protocol::FetchRequest useTargetProfile(const GenerationDataSets &dataSets, const QStringList &categories,
                                        const CompanyPosition &target)
{
    SClientDataSet &profile = *dataSets.profile;
    profile.Close();
    dataSets.useStatement(profile, QStringLiteral("PerfilCargoCategorias"), {{QStringLiteral("categorias"), categories}});
    profile.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(target.company);
    profile.ParamByName(QStringLiteral("P_COD_CARG"))->setAsString(target.code);
    return profile.Request();
}

Profile readTargetProfile(const GenerationDataSets &dataSets, const QStringList &categories,
                          const CompanyPosition &target)
{
    useTargetProfile(dataSets, categories, target);
    SClientDataSet &profile = *dataSets.profile;
    profile.Open();
    Profile rows;
    rows.reserve(profile.RecordCount());
    for (profile.First(); !profile.Eof(); profile.Next()) {
        rows.append(profileRowAt(profile));
        rows.last().key.prepare();
    }
    return rows;
}

ScorerFactory batchedScorers()
{
    return batchedScorers(BatchedScorer::kHoldersPerRead);
}

ScorerFactory batchedScorers(qsizetype holdersPerRead)
{
    return [holdersPerRead](const GenerationDataSets &dataSets, const GenerationInputs &inputs, const Rounding &round) {
        return std::make_unique<BatchedScorer>(dataSets, inputs, round, holdersPerRead);
    };
}

struct TrafficLightGeneration::ResultFields {
    explicit ResultFields(TDataSet &result)
        : codEmpl(result.FieldByName(resultfield::CodEmpl)),
          porEmpl(result.FieldByName(resultfield::PorEmpl)),
          numPera(result.FieldByName(resultfield::NumPera)),
          apeEmpl(result.FieldByName(resultfield::ApeEmpl)),
          nomEmpl(result.FieldByName(resultfield::NomEmpl)),
          codEmca(result.FieldByName(resultfield::CodEmca))
    {
    }
    TField *codEmpl, *porEmpl, *numPera, *apeEmpl, *nomEmpl, *codEmca;
};

TrafficLightGeneration::TrafficLightGeneration(const GenerationDataSets &dataSets, MaskFormatter formatter,
                                               ScorerFactory scorers)
    : m_dataSets(dataSets),
      m_round(storedRounding(*trafficLightTable().field(resultfield::PorEmpl), std::move(formatter))),
      m_scorers(scorers ? std::move(scorers) : batchedScorers())
{
}

// The target's profile and the holders of every candidate position in one round trip; the run
// then takes them position by position.
QList<protocol::FetchRequest> TrafficLightGeneration::firstReads(const GenerationInputs &inputs) const
{
    SClientDataSet &employees = *m_dataSets.scratch;
    QList<protocol::FetchRequest> reads{useTargetProfile(m_dataSets, categoryCodes(inputs.categories), inputs.target)};
    for (const CompanyPosition &position : inputs.candidates) {
        useHoldersStatement(m_dataSets, employees, position);
        reads << employees.Request();
    }
    return reads;
}

void TrafficLightGeneration::readAhead(const GenerationInputs &inputs)
{
    if (SDCOMConnection *connection = m_dataSets.scratch->RemoteServer)
        connection->ReadAhead(firstReads(inputs));
}

void TrafficLightGeneration::appendResults(const GenerationInputs &inputs)
{
    checkGenerationInputs(inputs);
    const std::unique_ptr<EmployeeScorer> scorer = m_scorers(m_dataSets, inputs, m_round);
    const ResultFields fields(*m_dataSets.result);
    SClientDataSet &employees = *m_dataSets.scratch;
    readAhead(inputs);
    for (const CompanyPosition &position : inputs.candidates) {
        employees.Close();
        useHoldersStatement(m_dataSets, employees, position);
        employees.Open();
        const CandidateEmployees candidates = readCandidates(employees);
        scorer->beginPosition(position, candidates);
        for (const CandidateEmployee &employee : candidates)
            appendRow(fields, employee, scorer->score(employee));
    }
    if (inputs.endsAfterCandidates)
        std::rethrow_exception(inputs.endsAfterCandidates);
}

void TrafficLightGeneration::appendRow(const ResultFields &fields, const CandidateEmployee &employee,
                                       const EmployeeScore &score)
{
    TDataSet &result = *m_dataSets.result;
    result.Append();
    fields.codEmpl->setAsVariant(employee.codEmpl);
    fields.porEmpl->setAsFloat(score.percentage);
    fields.numPera->setAsInteger(score.profileCount);
    fields.apeEmpl->setAsString(employee.apellidos);
    fields.nomEmpl->setAsString(employee.nombres);
    fields.codEmca->setAsInteger(employee.codEmpr);
    result.Post();
}

void TrafficLightGeneration::regenerate(const GenerationInputs &inputs, const TDataSet::TDataSetNotifyEvent &afterScroll,
                                        const std::function<void()> &relayout)
{
    regenerate([&inputs] { return inputs; }, afterScroll, relayout);
}

void TrafficLightGeneration::regenerate(const std::function<GenerationInputs()> &readInputs,
                                        const TDataSet::TDataSetNotifyEvent &afterScroll,
                                        const std::function<void()> &relayout)
{
    TClientDataSet &result = *m_dataSets.result;
    result.Close();
    result.Open();
    result.EmptyDataSet();
    result.AfterScroll = nullptr;
    try {
        appendResults(readInputs());
    } catch (...) {
        result.AfterScroll = afterScroll;
        throw;
    }
    result.AfterScroll = afterScroll;
    if (relayout)
        relayout();
    result.First();
}

} // namespace engine
