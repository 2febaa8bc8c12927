#include "engine/TrafficLightGeneration.h"

#include "engine/BatchedScorer.h"
#include "engine/ResultSchema.h"
#include "framework/Exceptions.h"
#include "framework/dataset/TClientDataSet.h"

namespace engine {

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
EngineReadList TrafficLightGeneration::firstReads(const GenerationInputs &inputs)
{
    EngineReadList reads{ProfileQuery{inputs.target, inputs.categories}};
    for (const CompanyPosition &position : inputs.candidates)
        reads << HoldersQuery{position};
    return reads;
}

void TrafficLightGeneration::appendResults(const GenerationInputs &inputs)
{
    checkGenerationInputs(inputs);
    const std::unique_ptr<EmployeeScorer> scorer = m_scorers(m_dataSets, inputs, m_round);
    const ResultFields fields(*m_dataSets.result);
    if (!m_dataSets.reads)
        throw Exception(notConnectedMessage());
    EngineReads &reads = *m_dataSets.reads;
    reads.readAhead(firstReads(inputs));
    for (const CompanyPosition &position : inputs.candidates) {
        const CandidateEmployees candidates = reads.holders({position});
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
    regenerateResults(*m_dataSets.result, [this, &inputs] { appendResults(inputs); }, afterScroll, relayout);
}

void regenerateResults(TClientDataSet &result, const std::function<void()> &appendRows,
                       const TDataSet::TDataSetNotifyEvent &afterScroll, const std::function<void()> &relayout)
{
    result.Close();
    result.Open();
    result.EmptyDataSet();
    result.AfterScroll = nullptr;
    try {
        appendRows();
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
