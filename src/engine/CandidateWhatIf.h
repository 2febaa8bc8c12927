#pragma once
// What if a candidate closed some of his gaps: his percentage and band at a node as the
// generation scores them, and again with chosen gaps closed. A closed gap stands for one more
// record of that requirement, in the list of the category that holds its record type, carrying
// the points the candidate still misses of it (the most any of its profile rows misses), so that
// every row of the requirement earns at least its required points. The score is the
// generation's own scoreEmployee() over the generation's profile and records with those records
// added: with nothing closed it is the generation's score, and with gaps closed it is what the
// generation gives once such records are really there. Nothing is written anywhere.

#include "engine/ProfileScoring.h"
#include "engine/SuccessionResult.h"

#include <QHash>

namespace engine {

// The employee record list a record of a category lands in, as the generation walks them.
enum class RecordList { NonFormal, Formal, Experience, Competences };

// A requirement as the profile keys it, written TIPO:REQU:ESPE ("CO:601:2"; "CO:601" when the
// requirement has no detail). Throws Exception when the text is not of that form.
RequirementKey parseGapKey(const QString &text);
QString gapKeyText(const RequirementKey &key);

// A record that closes a gap.
struct ClosingRecord {
    RecordList list = RecordList::Formal;
    CategoryRecord record;   // the gap's key, PUN_OBTE = the points still missing
};

class CandidateWhatIf {
public:
    CandidateWhatIf() = default;
    // `profile` and `records` as the generation's scorer scores them; `listOfType` the list each
    // record type of the profile is kept in (TIP_REGI); `company` the profile's company.
    CandidateWhatIf(int company, Profile profile, EmployeeRecords records, Categories categories, bool eduSinPuntos,
                    Rounding round, QHash<QString, RecordList> listOfType);

    // The candidate's gaps: each requirement with required points one of whose rows earns him
    // less than them, in profile order; each counts one evaluation that falls short, its
    // fulfilment the rows' capped ratio. Names empty until named().
    const RequirementGaps &gaps() const { return m_gaps; }
    // Copies names from gaps of the same requirement (a node's gaps).
    void name(const RequirementGaps &named);

    // The index in gaps() of the gap `key` names; throws Exception when it names no requirement
    // of the profile, or one the candidate already meets.
    int gapOf(const RequirementKey &key) const;
    // The records that close the gaps of those indexes.
    QVector<ClosingRecord> closingRecords(const QVector<int> &closed) const;
    // The generation's score with those gaps closed (none: the generation's score).
    EmployeeScore score(const QVector<int> &closed = {}) const;
    // The gaps still open once those are closed, worked out again from the records.
    RequirementGaps openGaps(const QVector<int> &closed) const;

private:
    EmployeeRecords recordsWith(const QVector<int> &closed) const;
    RequirementGaps gapsOf(const EmployeeRecords &records) const;

    int m_company = 0;
    Profile m_profile;
    EmployeeRecords m_records;
    Categories m_categories;
    bool m_eduSinPuntos = false;
    Rounding m_round;
    QHash<QString, RecordList> m_listOfType;
    RequirementGaps m_gaps;
    QVector<double> m_missing;   // per gap: the most points one of its rows misses
};

} // namespace engine
