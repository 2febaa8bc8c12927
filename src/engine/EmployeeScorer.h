#pragma once
// How a run obtains the score of each employee of a candidate position. Two arrangements give
// the same sums: one reopens the employee's datasets for every profile row, as the rules word
// it; the other reads the profile once per run and each category's records for all employees of
// a position at once.

#include "engine/CandidateEmployee.h"
#include "engine/GenerationDataSets.h"
#include "engine/GenerationInputs.h"
#include "engine/ProfileScoring.h"

#include <memory>

namespace engine {

enum class Arrangement { Batched, Literal };

class EmployeeScorer {
public:
    virtual ~EmployeeScorer() = default;
    // The employees of one candidate position, in the order of the candidates.
    virtual void beginPosition(const CompanyPosition &position, const CandidateEmployees &employees) = 0;
    virtual EmployeeScore score(const CandidateEmployee &employee) = 0;

    static std::unique_ptr<EmployeeScorer> create(Arrangement arrangement, const GenerationDataSets &dataSets,
                                                  const GenerationInputs &inputs);
};

// The profile statement of a run: the target position's rows in the ticked categories, by
// record type, requirement and detail.
QString profileStatement(const QString &categoryList);

} // namespace engine
