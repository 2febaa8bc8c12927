#pragma once
// Runs of a report that involve the user: laying it out with a progress window when it takes
// a while, sending pages to a printer, writing an export after asking before overwriting.
// Messages and questions go through the framework's dialog service.

#include "reportengine/PreparedReport.h"
#include "reportengine/Report.h"

#include <optional>

class QPageLayout;
class QPrinter;
class QWidget;

namespace report {

class ReportPrinting {
public:
    enum class Format { Pdf, Xlsx, Docx };

    // Lays the report out, with a cancellable progress window for long runs. No value when
    // cancelled; the report's exceptions pass through.
    static std::optional<PreparedReport> prepare(const Report &report, QWidget *parent = nullptr);

    // Paints every page on `printer`, each sheet at its own size and orientation.
    static bool print(const PreparedReport &pages, QPrinter &printer, QString *error);
    // Paints every page on `printer` on the paper and within the margins of `sheet`, the user's
    // page setup: each page scaled down to fit when larger, centred. The sheet's orientation is
    // that of the first page; a page turned the other way is printed on a sheet turned too.
    static bool print(const PreparedReport &pages, QPrinter &printer, const QPageLayout &sheet, QString *error);
    // To the system's default printer; a missing printer or a failure is told to the user.
    static bool printToDefaultPrinter(const PreparedReport &pages, QWidget *parent = nullptr);
    // Lays `report` out (with progress) and sends it to the default printer.
    static bool printReport(const Report &report, QWidget *parent = nullptr);

    // Writes `pages` to `path`: asks before replacing an existing file, shows progress, tells the
    // user about a failure. False when nothing was written.
    static bool exportTo(const PreparedReport &pages, const QString &path, Format format, QWidget *parent = nullptr);

    static QString overwriteQuestion(const QString &path);
};

} // namespace report
