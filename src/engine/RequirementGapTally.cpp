#include "engine/RequirementGapTally.h"

#include <algorithm>

namespace engine {

RequirementGapTally::RequirementGapTally(int company, const Profile &profile)
    : m_profile(profile), m_gapOfRow(profile.size(), -1), m_required(profile.size(), 0)
{
    for (int at = 0; at < profile.size(); ++at) {
        const ProfileRow &row = profile.at(at);
        m_required[at] = points(row.punRequ);
        if (m_required.at(at) <= 0)
            continue;
        const auto same = std::find_if(m_gaps.cbegin(), m_gaps.cend(), [&row](const RequirementGap &gap) {
            return sameValue(gap.tipRegi, row.key.tipRegi) && sameValue(gap.codRequ, row.key.codRequ)
                && sameValue(gap.codEspe, row.key.codEspe);
        });
        if (same != m_gaps.cend()) {
            m_gapOfRow[at] = int(same - m_gaps.cbegin());
            continue;
        }
        RequirementGap gap;
        gap.company = company;
        gap.tipRegi = row.key.tipRegi;
        gap.codRequ = row.key.codRequ;
        gap.codEspe = row.key.codEspe;
        m_gapOfRow[at] = int(m_gaps.size());
        m_gaps.append(gap);
    }
}

void RequirementGapTally::add(const QVector<long double> &obtained)
{
    for (int at = 0; at < m_profile.size() && at < obtained.size(); ++at) {
        const int entry = m_gapOfRow.at(at);
        if (entry < 0)
            continue;
        RequirementGap &gap = m_gaps[entry];
        const long double required = m_required.at(at);
        ++gap.evaluated;
        if (obtained.at(at) < required)
            ++gap.shortCount;
        gap.fulfilmentSum += double(std::min<long double>(std::max<long double>(obtained.at(at), 0) / required, 1));
    }
}

RequirementGaps RequirementGapTally::gaps() const
{
    RequirementGaps gaps = m_gaps;
    for (RequirementGap &gap : gaps)
        gap.averageFulfilment = averageFulfilment(gap.fulfilmentSum, gap.evaluated);
    sortGaps(gaps);
    return gaps;
}

} // namespace engine
