#pragma once
// Counts, for one target profile, how the evaluated candidates measure up to each of its rows:
// what each row earned a candidate in the generation's own scoring against the row's required
// points. Rows of the same category, requirement and detail (COD_ESPE) count together.

#include "engine/SuccessionResult.h"

#include <QHash>

namespace engine {

class RequirementGapTally {
public:
    RequirementGapTally(int company, const Profile &profile);

    // One candidate's points per profile row, as obtainedByRow() gives them.
    void add(const QVector<long double> &obtained);
    // The requirements with required points, most-missed first, names empty.
    RequirementGaps gaps() const;

private:
    Profile m_profile;   // shared, not copied
    RequirementGaps m_gaps;              // one per distinct key, in profile order
    QVector<int> m_gapOfRow;             // profile row -> entry of m_gaps; -1 for no requirement
    QVector<long double> m_required;     // each row's required points
};

} // namespace engine
