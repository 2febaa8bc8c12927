#pragma once
// Test support for the report engine: in-memory datasets of numbered rows and a company header,
// and the test layouts kept in resources.

#include "reportengine/Report.h"
#include "framework/dataset/TClientDataSet.h"

#include <memory>

namespace reporttest {

// Rows CODE (integer), NAME (text), PCT (float): row i has code i, name "Nombre i" with
// accented letters, and percentage i * 12.5.
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
