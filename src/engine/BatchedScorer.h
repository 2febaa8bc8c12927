#pragma once
// The arrangement for real runs: the profile is read once per run; each ticked category's
// records of the holders of the run's candidate positions of a company come in one read
// when the first of those positions with holders is scored, and the employees whose code does not
// survive being written as text (the only ones whose existence check can fail) are checked one
// by one. The records cost four reads per company whatever its number of positions and profile
// rows, up to about kHoldersPerRead holders: a larger company's positions are read in groups that
// size (judged by the holders of the position that starts the group), each group's records
// dropped when the next one is read, so that memory stays bounded. Records no profile row can
// match are not kept.

#include "engine/EmployeeScorer.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <optional>

namespace engine {

class BatchedScorer : public EmployeeScorer {
public:
    // `holdersPerRead`: the size of a group of positions read at once (kHoldersPerRead).
    BatchedScorer(const GenerationDataSets &dataSets, const GenerationInputs &inputs, Rounding round,
                  qsizetype holdersPerRead = kHoldersPerRead);
    void beginPosition(const CompanyPosition &position, const CandidateEmployees &employees) override;
    EmployeeScore score(const CandidateEmployee &employee) override;

    // What score() scores, for a caller that scores the same things otherwise (a what-if): the
    // target's profile (empty before a position with holders began) and the employee's records
    // of the current position's company, his existence as checked.
    const Profile &profile() const;
    EmployeeRecords records(const CandidateEmployee &employee) const;

    // The holders whose records one group of positions keeps at most, as judged when it is read.
    static constexpr qsizetype kHoldersPerRead = 40000;

private:
    // The records of one company's group of positions, by COD_EMPL.
    struct LoadedRecords {
        QStringList positions;
        QHash<double, EmployeeRecords> byEmployee;
    };

    void readProfile();
    void readExisting(int company, const CandidateEmployees &employees);
    void readRecords(int company, const QString &from, qsizetype holders, LoadedRecords &loaded);
    // Holders whose records are read ahead in one round trip rather than streamed read by read.
    static constexpr qsizetype kHoldersReadAhead = 2000;
    EngineReads &reads() const { return *m_dataSets.reads; }

    GenerationDataSets m_dataSets;
    GenerationInputs m_inputs;
    Rounding m_round;
    qsizetype m_holdersPerRead;
    std::optional<Profile> m_profile;
    std::optional<ProfileKeys> m_profileKeys;
    QHash<int, LoadedRecords> m_records;        // by company
    const QHash<double, EmployeeRecords> *m_current = nullptr;   // the current position's company
    QSet<double> m_existing;                    // codes found under their text
    QSet<double> m_checked;                     // codes whose text was looked up
};

} // namespace engine
