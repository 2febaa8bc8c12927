#pragma once
// Filling a result dataset from rows the engine computed.

#include "framework/dataset/TClientDataSet.h"

namespace engine {

// Fills `dataSet` with `append` called once per row, its after-scroll handler detached meanwhile
// (appending moves the cursor), then makes the first row current.
template <typename Rows, typename AppendRow>
void refillDataSet(TClientDataSet &dataSet, const Rows &rows, AppendRow append)
{
    const TDataSet::TDataSetNotifyEvent afterScroll = dataSet.AfterScroll;
    dataSet.AfterScroll = nullptr;
    try {
        dataSet.EmptyDataSet();
        for (const auto &row : rows) {
            dataSet.Append();
            append(row);
            dataSet.Post();
        }
    } catch (...) {
        dataSet.AfterScroll = afterScroll;
        throw;
    }
    dataSet.AfterScroll = afterScroll;
    dataSet.First();
}

} // namespace engine
