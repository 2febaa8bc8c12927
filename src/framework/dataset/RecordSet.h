#pragma once
// The rows of a dataset and the visible ones in cursor order: the rows that pass the filter,
// sorted by the index keys, rows of equal keys in the order they were added. Knows nothing of
// fields or events; the dataset tells it what passes and what comes first.

#include "framework/dataset/TRecord.h"

#include <functional>
#include <memory>
#include <vector>

class RecordSet {
public:
    using Filter = std::function<bool(const TRecord &)>;
    using KeyCompare = std::function<int(const TRecord &, const TRecord &)>;

    void clear();
    void setFilter(Filter filter) { m_filter = std::move(filter); }
    void setKeyCompare(KeyCompare compare) { m_keyCompare = std::move(compare); }
    void rebuild();

    int visibleCount() const { return int(m_visible.size()); }
    TRecord *visibleAt(int row) const { return m_visible.at(size_t(row)); }
    int visibleIndexOf(const TRecord *record) const;
    int totalCount() const { return int(m_all.size()); }
    bool passes(const TRecord &record) const { return !m_filter || m_filter(record); }

    // Gives the record its place in the natural order (before `before`, or last) and returns
    // the visible row it will take once added, -1 when the filter hides it.
    int prepare(TRecord &record, const TRecord *before);
    void add(std::unique_ptr<TRecord> record, const TRecord *before, int visibleRow);
    void remove(const TRecord *record);

    // After a record's values changed: the visible row it belongs at now, counted as if it
    // were not among the visible rows (-1 when the filter hides it). Moves nothing.
    int positionAfterChange(const TRecord &record) const;
    void hide(int row) { m_visible.erase(m_visible.begin() + row); }
    void show(int row, TRecord *record) { m_visible.insert(m_visible.begin() + row, record); }
    template <typename Fn> void forEach(Fn fn) const
    {
        for (const auto &record : m_all)
            fn(*record);
    }

private:
    bool before(const TRecord *a, const TRecord *b) const;
    int lowerBound(const TRecord &record, const TRecord *skip) const;
    void renumber();

    std::vector<std::unique_ptr<TRecord>> m_all;  // natural order
    std::vector<TRecord *> m_visible;
    Filter m_filter;
    KeyCompare m_keyCompare;
};
