#pragma once
// Writes a prepared report to a PDF file: each page at its own size and orientation, zero
// margins, fonts embedded, no outline and no restrictions; the report's title, author and subject
// as the document information. The file is written under a temporary name and renamed when
// complete, so a failed or cancelled export leaves any earlier file untouched.

#include "reportengine/PreparedReport.h"

#include <functional>

namespace report {

class PdfExport {
public:
    static constexpr int kResolution = 600;
    // False with an error text when the file cannot be written or `progress` cancels.
    static bool write(const PreparedReport &report, const QString &path, QString *error,
                      const std::function<bool(int done, int total)> &progress = {});
};

} // namespace report
