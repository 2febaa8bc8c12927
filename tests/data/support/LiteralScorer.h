#pragma once
// The rules step by step, reopening the datasets per employee and profile row: the batched
// arrangement's reference in the tests and the benchmark.

#include "engine/EmployeeScorer.h"

class LiteralScorer : public engine::EmployeeScorer {
public:
    LiteralScorer(const engine::GenerationDataSets &dataSets, const engine::GenerationInputs &inputs,
                  engine::Rounding round);
    void beginPosition(const engine::CompanyPosition &position, const engine::CandidateEmployees &employees) override;
    engine::EmployeeScore score(const engine::CandidateEmployee &employee) override;

    // Hands this arrangement to a run.
    static engine::ScorerFactory factory();

private:
    void openRecords(SClientDataSet *dataSet, const engine::CandidateEmployee &employee);
    void openProfile();
    bool employeeExists(const engine::CandidateEmployee &employee);
    void addObtained(const engine::CandidateEmployee &employee, long double &obtained);

    engine::GenerationDataSets m_dataSets;
    engine::GenerationInputs m_inputs;
    engine::Rounding m_round;
    QStringList m_categories;
    int m_company = 0;
};
