#pragma once
// One row of a dataset: the stored values of its data fields and the cached values of its
// calculated and look-up fields, with the place that keeps rows of equal index keys in the
// order they were added.

#include <QVariant>
#include <vector>

struct TRecord {
    std::vector<QVariant> values;  // data fields, in field order
    std::vector<QVariant> calc;    // calculated and look-up fields
    bool calcValid = false;        // calc holds the values computed for the current values
    double seq = 0;                // natural order
};
