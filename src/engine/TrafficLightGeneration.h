#pragma once
// A traffic-light run over the datasets it is handed: checks the inputs, walks the candidate
// positions in list order and their active contracts by surname, scores every one against the
// target position's profile and appends one result row each (employee, percentage, profile
// rows, surnames, names, contract company).

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

    // The whole run on the result table: emptied, filled with its after-scroll handler detached
    // (so that appending does not refill what follows the cursor), `afterScroll` attached again
    // even when the run fails, `relayout` run (the views showing the table), then the first row
    // made current.
    void regenerate(const GenerationInputs &inputs, const TDataSet::TDataSetNotifyEvent &afterScroll,
                    const std::function<void()> &relayout = {});
    // The same, with the inputs read by `readInputs` once the table is emptied: a failure to
    // read them leaves it empty, as a run stopped at its first check does.
    void regenerate(const std::function<GenerationInputs()> &readInputs,
                    const TDataSet::TDataSetNotifyEvent &afterScroll, const std::function<void()> &relayout = {});

    // What a run on `inputs` reads first (the target's profile, every candidate position's
    // holders), for a caller to read ahead with what it reads itself.
    QList<protocol::FetchRequest> firstReads(const GenerationInputs &inputs) const;

private:
    struct ResultFields;
    void readAhead(const GenerationInputs &inputs);
    void appendRow(const ResultFields &fields, const CandidateEmployee &employee, const EmployeeScore &score);

    GenerationDataSets m_dataSets;
    Rounding m_round;
    ScorerFactory m_scorers;
};

} // namespace engine
