#pragma once
// A traffic-light run over the reads and the result table it is handed: checks the inputs, walks
// the candidate positions in list order and their active contracts by surname, scores every one
// against the target position's profile and appends one result row each (employee, percentage,
// profile rows, surnames, names, contract company).

#include "engine/EmployeeScorer.h"
#include "framework/dataset/TDataSet.h"

#include <functional>

namespace engine {

class TrafficLightGeneration {
public:
    // `formatter` is the suite's number formatter the percentages are rounded with; `scorers`
    // makes the run's scorer (the batched arrangement when empty).
    TrafficLightGeneration(const GenerationDataSets &dataSets, MaskFormatter formatter, ScorerFactory scorers = {});

    // Appends the rows of one run to the result table. Throws Exception with the module's
    // message when no category is ticked or no candidate position is given (checkGenerationInputs);
    // any other failure ends the run where it happened and keeps the rows already appended.
    void appendResults(const GenerationInputs &inputs);

    // The whole run on the result table (see regenerateResults).
    void regenerate(const GenerationInputs &inputs, const TDataSet::TDataSetNotifyEvent &afterScroll,
                    const std::function<void()> &relayout = {});

    // What a run on `inputs` reads first (the target's profile, every candidate position's
    // holders), for a caller to read ahead with what it reads itself.
    static EngineReadList firstReads(const GenerationInputs &inputs);

private:
    struct ResultFields;
    void appendRow(const ResultFields &fields, const CandidateEmployee &employee, const EmployeeScore &score);

    GenerationDataSets m_dataSets;
    Rounding m_round;
    ScorerFactory m_scorers;
};

// A whole run on the result table `result`: emptied, filled by `appendRows` with its after-scroll
// handler detached (so that appending does not refill what follows the cursor), `afterScroll`
// attached again even when the run fails, `relayout` run (the views showing the table), then the
// first row made current. What `appendRows` reads it reads once the table is emptied: a failure
// to read the inputs leaves it empty, as a run stopped at its first check does.
void regenerateResults(TClientDataSet &result, const std::function<void()> &appendRows,
                       const TDataSet::TDataSetNotifyEvent &afterScroll, const std::function<void()> &relayout = {});

} // namespace engine
