#pragma once
// How a run obtains the score of each employee of a candidate position. Real runs read the
// profile once per run and each category's records for all employees of a position at once
// (BatchedScorer); any other arrangement must give the same sums and may be handed to a run.

#include "engine/CandidateEmployee.h"
#include "engine/GenerationDataSets.h"
#include "engine/GenerationInputs.h"
#include "engine/ProfileScoring.h"

#include <functional>
#include <memory>

namespace engine {

class EmployeeScorer {
public:
    virtual ~EmployeeScorer() = default;
    // The employees of one candidate position, in the order of the candidates.
    virtual void beginPosition(const CompanyPosition &position, const CandidateEmployees &employees) = 0;
    virtual EmployeeScore score(const CandidateEmployee &employee) = 0;
};

// Makes the scorer of one run; `round` rounds the percentages as the result table stores them.
using ScorerFactory = std::function<std::unique_ptr<EmployeeScorer>(
    const GenerationDataSets &dataSets, const GenerationInputs &inputs, const Rounding &round)>;
ScorerFactory batchedScorers();
// The same reading the records of groups of positions of about `holdersPerRead` holders at a time.
ScorerFactory batchedScorers(qsizetype holdersPerRead);

} // namespace engine
