#pragma once
// The arrangement that follows the rules step by step: per employee the three record datasets
// and the profile are opened, and per profile row the employee-exists count is asked and the
// record datasets (and the competence datasets) are opened again. Several round trips per
// employee and profile row; kept to check the batched arrangement against and to measure it.

#include "engine/EmployeeScorer.h"

namespace engine {

class LiteralScorer : public EmployeeScorer {
public:
    LiteralScorer(const GenerationDataSets &dataSets, const GenerationInputs &inputs);
    void beginPosition(const CompanyPosition &position, const CandidateEmployees &employees) override;
    EmployeeScore score(const CandidateEmployee &employee) override;

private:
    void openRecords(SClientDataSet *dataSet, const CandidateEmployee &employee);
    void openProfile();
    bool employeeExists(const CandidateEmployee &employee);
    void addObtained(const CandidateEmployee &employee, long double &obtained);

    GenerationDataSets m_dataSets;
    GenerationInputs m_inputs;
    QString m_categoryList;
    int m_company = 0;
};

} // namespace engine
