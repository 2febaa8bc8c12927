#pragma once
// Runs of a report that involve the user: laying it out with a progress window when it takes
// a while, sending pages to a printer, writing an export after asking before overwriting.
// Messages and questions go through the framework's dialog service.

#include "reportengine/PreparedReport.h"
#include "reportengine/Report.h"

#include <QStringList>

#include <functional>
#include <memory>
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
    // To the system's default printer; without one, the print dialog lets the user choose a
    // printer (no message when cancelled). No printer at all, or a failure, is told to the user.
    static bool printToDefaultPrinter(const PreparedReport &pages, QWidget *parent = nullptr);

    // The printers of the machine by name, and which is the default (empty: none).
    struct Printers {
        QString defaultName;
        QStringList names;
    };
    // Where the printer list comes from: the system's by default; tests give their own.
    static std::function<Printers()> printerList;
    static Printers printers();
    // A printer on the default printer, or on none (no name) when there is no default.
    static std::unique_ptr<QPrinter> defaultPrinter();
    // Lets the user choose where `printer` prints through the print dialog; false when cancelled
    // or, after saying so, when the machine has no printer at all.
    static bool choosePrinter(QPrinter &printer, QWidget *parent = nullptr);
    static QString noPrinterMessage();
    // Lays `report` out (with progress) and sends it to the default printer.
    static bool printReport(const Report &report, QWidget *parent = nullptr);

    // Writes `pages` to `path`: asks before replacing an existing file, shows progress, tells the
    // user about a failure. False when nothing was written.
    static bool exportTo(const PreparedReport &pages, const QString &path, Format format, QWidget *parent = nullptr);

    static QString overwriteQuestion(const QString &path);
};

} // namespace report
