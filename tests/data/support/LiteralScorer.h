#pragma once
// The arrangement that follows the rules step by step: per employee the three record datasets
// and the profile are opened, and per profile row the employee-exists count is asked and the
// record datasets (and the competence datasets) are opened again. Several round trips per
// employee and profile row; the tests check the batched arrangement against it and the
// generation benchmark measures it.

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
