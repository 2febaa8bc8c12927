#pragma once
// Writes a prepared report to an XLSX workbook as one continuous table: the page header of the
// first sheet, each column header once, every row, the summary and the last page footer. Views
// become cells in a grid made of their left and top edges; a text that holds one numeric value
// is written as a number whose cell format shows it as the report does. Pictures go in as PNG.
// The file is written under a temporary name and renamed when complete.

#include "PreparedReport.h"

#include <functional>

namespace report {

class XlsxExport {
public:
    static bool write(const PreparedReport &report, const QString &path, QString *error,
                      const std::function<bool(int done, int total)> &progress = {});

    // The spreadsheet number format that shows a value as the report's `format` does, with the
    // literal text around it: "%2.2n" -> "#,##0.00", "%2.2f" -> "0.00".
    static QString numberFormat(const QString &format, const QString &prefix, const QString &suffix);
};

} // namespace report
