#pragma once
// Writes a prepared report to a DOCX document a word processor opens: the report's table as a
// real table, texts as paragraphs, pictures and charts as PNG, each page of the layout a section
// at its own size and orientation, and the title, author and subject as document properties.
// The file is written under a temporary name and renamed when complete, so a failed or cancelled
// export leaves any earlier file untouched.

#include "reportengine/PreparedReport.h"

#include <functional>

namespace report {

class DocxExport {
public:
    // False with an error text when the file cannot be written or `progress` cancels.
    static bool write(const PreparedReport &report, const QString &path, QString *error,
                      const std::function<bool(int done, int total)> &progress = {});
};

} // namespace report
