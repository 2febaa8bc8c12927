#pragma once
// The datasets a traffic-light run reads and fills, handed over by whoever owns them (the data
// module, a headless run). The run owns none of them.

#include "engine/StatementUse.h"

class SClientDataSet;
class TClientDataSet;

namespace engine {

struct GenerationDataSets {
    SClientDataSet *scratch = nullptr;         // the employee dataset (general-purpose statement)
    SClientDataSet *profile = nullptr;         // requirement profile of the target position
    SClientDataSet *employeeCount = nullptr;   // employee-exists count
    SClientDataSet *nonFormal = nullptr;       // an employee's non-formal education
    SClientDataSet *formal = nullptr;          // formal education
    SClientDataSet *experience = nullptr;      // work experience
    SClientDataSet *evaluations = nullptr;     // competence evaluation cycles
    SClientDataSet *evaluationLines = nullptr; // lines of the latest competence evaluation
    TClientDataSet *result = nullptr;          // one row per evaluated employee
    StatementUse useStatement;                 // points a dataset at a catalogue statement
};

} // namespace engine
