#include "framework/dataset/RecordSet.h"

#include <algorithm>

void RecordSet::clear()
{
    m_visible.clear();
    m_all.clear();
}

bool RecordSet::before(const TRecord *a, const TRecord *b) const
{
    if (m_keyCompare) {
        const int c = m_keyCompare(*a, *b);
        if (c != 0)
            return c < 0;
    }
    return a->seq < b->seq;
}

void RecordSet::rebuild()
{
    m_visible.clear();
    for (const auto &record : m_all)
        if (passes(*record))
            m_visible.push_back(record.get());
    if (m_keyCompare) // m_all is already in natural order otherwise
        std::sort(m_visible.begin(), m_visible.end(),
                  [this](const TRecord *a, const TRecord *b) { return before(a, b); });
}

int RecordSet::visibleIndexOf(const TRecord *record) const
{
    const auto it = std::find(m_visible.begin(), m_visible.end(), record);
    return it == m_visible.end() ? -1 : int(it - m_visible.begin());
}

// Binary search over the visible rows as if `skip` were not among them.
int RecordSet::lowerBound(const TRecord &record, const TRecord *skip) const
{
    const int skipAt = skip ? visibleIndexOf(skip) : -1;
    const int n = int(m_visible.size()) - (skipAt >= 0 ? 1 : 0);
    auto at = [&](int i) { return m_visible[size_t(skipAt >= 0 && i >= skipAt ? i + 1 : i)]; };
    int low = 0, high = n;
    while (low < high) {
        const int mid = (low + high) / 2;
        if (before(at(mid), &record))
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

void RecordSet::renumber()
{
    for (size_t i = 0; i < m_all.size(); ++i)
        m_all[i]->seq = double(i + 1);
}

int RecordSet::prepare(TRecord &record, const TRecord *before)
{
    const bool known = before && std::any_of(m_all.begin(), m_all.end(),
                                             [before](const auto &r) { return r.get() == before; });
    if (!known) {
        record.seq = m_all.empty() ? 1.0 : m_all.back()->seq + 1.0;
    } else {
        const auto it = std::find_if(m_all.begin(), m_all.end(),
                                     [before](const auto &r) { return r.get() == before; });
        const size_t index = size_t(it - m_all.begin());
        auto between = [&] {
            const double next = m_all[index]->seq;
            const double prev = index > 0 ? m_all[index - 1]->seq : next - 1.0;
            return (prev + next) / 2.0;
        };
        double seq = between();
        if (index > 0 && !(seq > m_all[index - 1]->seq && seq < m_all[index]->seq)) {
            renumber(); // halving ran out of precision
            seq = between();
        }
        record.seq = seq;
    }
    return passes(record) ? lowerBound(record, nullptr) : -1;
}

void RecordSet::add(std::unique_ptr<TRecord> record, const TRecord *before, int visibleRow)
{
    TRecord *raw = record.get();
    if (before) {
        auto at = std::find_if(m_all.begin(), m_all.end(),
                               [before](const auto &r) { return r.get() == before; });
        m_all.insert(at, std::move(record));
    } else {
        m_all.push_back(std::move(record)); // loading and appending: no search
    }
    if (visibleRow >= 0)
        m_visible.insert(m_visible.begin() + visibleRow, raw);
}

void RecordSet::remove(const TRecord *record)
{
    const int row = visibleIndexOf(record);
    if (row >= 0)
        hide(row);
    m_all.erase(std::find_if(m_all.begin(), m_all.end(),
                             [record](const auto &r) { return r.get() == record; }));
}

int RecordSet::positionAfterChange(const TRecord &record) const
{
    return passes(record) ? lowerBound(record, &record) : -1;
}
