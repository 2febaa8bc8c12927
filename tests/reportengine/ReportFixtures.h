#pragma once
// In-memory rows and a company header for the report engine, and the test layouts.

#include "reportengine/Report.h"
#include "framework/dataset/TClientDataSet.h"

#include <memory>

namespace reporttest {

// CODE, NAME, PCT: row i has code i, rowName(i) and i * 12.5.
std::unique_ptr<TClientDataSet> numberedRows(int count);
// One company row: NAME and LOGO (a small PNG).
std::unique_ptr<TClientDataSet> company();
report::ReportLayout layout(const QString &name);

// A report of layout `name` bound to `rows` and `company`, answering [owner] and [user].
struct BoundReport {
    explicit BoundReport(const QString &layoutName, int rowCount);
    std::unique_ptr<TClientDataSet> rows;
    std::unique_ptr<TClientDataSet> header;
    report::Report report;
};

QString rowName(int i);

} // namespace reporttest
