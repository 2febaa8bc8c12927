#pragma once
// The arrangement for real runs: the profile is read once per run; for each candidate position
// each ticked category's records of all its employees come in one statement through the scratch
// dataset, and the employees whose code does not survive being written as text (the only ones
// whose existence check can fail) are checked in one more. A position costs one to six round
// trips whatever its number of employees and profile rows. Records no profile row can match
// are not kept.

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
    enum class Category { NonFormal, Formal, Experience, Competences };

    void readProfile();
    void readExisting(int company, const CandidateEmployees &employees);
    void readCategory(Category category, int company, const QString &position);
    SClientDataSet &openScratch(const QString &statement);

    GenerationDataSets m_dataSets;
    GenerationInputs m_inputs;
    Rounding m_round;
    QString m_categoryList;
    std::optional<Profile> m_profile;
    std::optional<ProfileKeys> m_profileKeys;
    QHash<double, EmployeeRecords> m_records;   // by COD_EMPL
    QSet<double> m_existing;                    // codes found under their text
    QSet<double> m_checked;                     // codes whose text was looked up
};

} // namespace engine
