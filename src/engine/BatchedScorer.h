#pragma once
// The arrangement for real runs: the profile is read once per run; each ticked category's
// records of the holders of all the run's candidate positions of a company come in one statement
// when the first of those positions with holders is scored, and the employees whose code does not
// survive being written as text (the only ones whose existence check can fail) are checked one
// by one. The records cost four reads per company whatever its number of positions, employees
// and profile rows. Records no profile row can match are not kept.

#include "engine/EmployeeScorer.h"

#include <QHash>
#include <QSet>
#include <optional>

namespace engine {

class BatchedScorer : public EmployeeScorer {
public:
    BatchedScorer(const GenerationDataSets &dataSets, const GenerationInputs &inputs, Rounding round);
    void beginPosition(const CompanyPosition &position, const CandidateEmployees &employees) override;
    EmployeeScore score(const CandidateEmployee &employee) override;

private:
    void readProfile();
    void readExisting(int company, const CandidateEmployees &employees);
    void readRecords(int company, qsizetype holders);
    SClientDataSet &openScratch(const QString &statement);

    GenerationDataSets m_dataSets;
    GenerationInputs m_inputs;
    Rounding m_round;
    QString m_categoryList;
    std::optional<Profile> m_profile;
    std::optional<ProfileKeys> m_profileKeys;
    QHash<int, QHash<double, EmployeeRecords>> m_records;   // company -> COD_EMPL -> records
    const QHash<double, EmployeeRecords> *m_current = nullptr;   // the current position's company
    QSet<double> m_existing;                    // codes found under their text
    QSet<double> m_checked;                     // codes whose text was looked up
};

} // namespace engine
