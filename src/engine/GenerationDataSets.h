#pragma once
// What a traffic-light run reads through and fills, handed over by whoever owns them (the data
// module, a headless run): the reads, the result table, and the datasets the rules walk when an
// arrangement scores over datasets. The run owns none of them.

#include "engine/EngineReads.h"

#include <memory>

class SClientDataSet;
class TClientDataSet;

namespace engine {

struct GenerationDataSets {
    std::shared_ptr<EngineReads> reads;        // every read of a run; none when not connected
    SClientDataSet *profile = nullptr;         // requirement profile of the target position
    SClientDataSet *employeeCount = nullptr;   // employee-exists count
    SClientDataSet *nonFormal = nullptr;       // an employee's non-formal education
    SClientDataSet *formal = nullptr;          // formal education
    SClientDataSet *experience = nullptr;      // work experience
    SClientDataSet *evaluations = nullptr;     // competence evaluation cycles
    SClientDataSet *evaluationLines = nullptr; // lines of the latest competence evaluation
    TClientDataSet *result = nullptr;          // one row per evaluated employee
};

} // namespace engine
