#pragma once
// Writes a prepared report to an XLSX workbook a user can sort and filter: one worksheet per page
// of the layout, named after the report's title. The table of a page (its master band over a
// dataset) becomes one worksheet column per cell and one row per record, under its caption row,
// which stays frozen and carries an autofilter; the page header above it and the summary below
// are written once, in the same columns, without merged cells. A text holding one number keeps
// it a number whose cell format shows it as the report does; one holding a date or time becomes
// a date or time cell. Pictures and charts go in as PNG. The file is written under a temporary
// name and renamed when complete.

#include "reportengine/PreparedReport.h"

#include <functional>

namespace report {

class XlsxExport {
public:
    static bool write(const PreparedReport &report, const QString &path, QString *error,
                      const std::function<bool(int done, int total)> &progress = {});

    // The spreadsheet number format that shows a value as the report's `format` does, with the
    // literal text around it: "%2.2n" -> "#,##0.00", "%2.2f" -> "0.00".
    static QString numberFormat(const QString &format, const QString &prefix, const QString &suffix);
    // The spreadsheet format of a date or time in the workstation's short format, with the
    // literal text around it: "Fecha: " and "dd/MM/yyyy" -> "\"Fecha: \"dd/mm/yyyy".
    static QString dateTimeFormat(const QString &qtFormat, const QString &prefix, const QString &suffix);
    // A worksheet name from the report's title: without []:*?/\, at most 31 characters, and
    // " (n)" for the `index`-th sheet after the first.
    static QString sheetName(const QString &title, int index = 0);
};

} // namespace report
