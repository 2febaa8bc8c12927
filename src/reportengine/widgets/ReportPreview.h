#pragma once
// The preview window of a prepared report: opens at 100 %, shows one page at a time and allows
// no editing. Print (the window keeps its printer and page setup), open and save a prepared
// report, export to PDF, XLSX or DOCX (asking for a file, or quickly into the documents folder),
// zoom and fit, find a text, an outline of the pages and page navigation.

#include "reportengine/PreparedReport.h"
#include "reportengine/widgets/ReportPrinting.h"

#include <QMainWindow>
#include <QPageLayout>

#include <memory>
#include <optional>

class QAction;
class QDockWidget;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPrinter;
class QSpinBox;
class QToolButton;
namespace Ui {
class ReportPreview;
}

namespace report {

class PageView;
class Report;
class ReportOutline;

class ReportPreview : public QMainWindow {
    Q_OBJECT
public:
    explicit ReportPreview(PreparedReport pages, QWidget *parent = nullptr);
    ~ReportPreview() override;

    // Lays `report` out (with progress) and opens a preview of it; nullptr when cancelled.
    static ReportPreview *showReport(const Report &report, QWidget *parent = nullptr);
    // At most 1000 x 1000 and 90 % of the screen's available area, centred on it.
    void fitToScreen();

    const PreparedReport &pages() const { return m_pages; }
    int currentPage() const { return m_current; }   // 0-based
    double zoom() const;
    void goToPage(int index);
    void setZoom(double zoom);
    void fitPageWidth();
    void fitWholePage();
    // Finds the next text containing `text` (case-insensitive) after the last match, going to
    // its page; false, after telling the user, when there is none.
    bool find(const QString &text);
    bool exportTo(const QString &path, ReportPrinting::Format format);

    // Shows the saved report at `path` instead of the current one. A file that is not a saved
    // report (foreign, damaged, newer) is told to the user and the preview stays as it was.
    bool openFile(const QString &path);
    // Saves the pages, asking before replacing a file; failures are told to the user.
    bool saveFile(const QString &path);

    // Writes the pages in `format` into the quick export folder under the proposed file name,
    // asking only before replacing a file, and tells the user where it wrote.
    bool quickExport(ReportPrinting::Format format);
    QString quickExportFolder() const;
    void setQuickExportFolder(const QString &folder);   // empty: the user's documents folder

    // Prints on the window's printer, with the page setup chosen in this window if any.
    bool print();
    QPrinter &printer();
    std::optional<QPageLayout> pageSetup() const { return m_sheet; }

    // `title` without the characters file names cannot hold, plus the extension.
    static QString proposedFileName(const QString &title, const QString &suffix);

    PageView *pageView() const { return m_view; }
    ReportOutline *outline() const { return m_outline; }

private:
    void buildToolBar();
    void buildOutline();
    void connectActions();
    void setPages(PreparedReport pages);
    void exportAsked(ReportPrinting::Format format);
    void openAsked();
    void saveAsked();
    void pageSetupAsked();
    void setQuickFormat(ReportPrinting::Format format);
    QString chooseFile(QFileDialog &dialog);
    void updateNavigation();

    std::unique_ptr<Ui::ReportPreview> m_ui;
    PreparedReport m_pages;
    PageView *m_view;
    QSpinBox *m_pageBox;
    QLabel *m_pageCount;
    QLineEdit *m_findText;
    ReportOutline *m_outline = nullptr;
    QDockWidget *m_outlineDock = nullptr;
    QToolButton *m_exportButton = nullptr;
    QToolButton *m_quickButton = nullptr;
    QToolButton *m_toolsButton = nullptr;
    QAction *m_quickAction = nullptr;
    ReportPrinting::Format m_quickFormat = ReportPrinting::Format::Pdf;
    QString m_quickFolder;
    QString m_lastFolder;
    std::unique_ptr<QPrinter> m_printer;
    std::optional<QPageLayout> m_sheet;
    int m_current = 0;
    int m_foundPage = 0;
    int m_foundItem = -1;
};

} // namespace report
