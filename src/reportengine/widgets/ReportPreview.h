#pragma once
// The preview window of a prepared report: opens at 100 %, shows one page at a time and allows
// no editing. Print (default printer), export to PDF or XLSX, zoom, find a text, and page
// navigation.

#include "PreparedReport.h"
#include "ReportPrinting.h"

#include <QMainWindow>

#include <memory>

class QLabel;
class QLineEdit;
class QSpinBox;
namespace Ui {
class ReportPreview;
}

namespace report {

class PageView;
class Report;

class ReportPreview : public QMainWindow {
    Q_OBJECT
public:
    explicit ReportPreview(PreparedReport pages, QWidget *parent = nullptr);
    ~ReportPreview() override;

    // Lays `report` out (with progress) and opens a preview of it; nullptr when cancelled.
    static ReportPreview *showReport(const Report &report, QWidget *parent = nullptr);

    const PreparedReport &pages() const { return m_pages; }
    int currentPage() const { return m_current; }   // 0-based
    double zoom() const;
    void goToPage(int index);
    void setZoom(double zoom);
    // Finds the next text containing `text` (case-insensitive) after the last match, going to
    // its page; false, after telling the user, when there is none.
    bool find(const QString &text);
    bool exportTo(const QString &path, ReportPrinting::Format format);
    PageView *pageView() const { return m_view; }

private:
    void buildToolBar();
    void connectActions();
    void exportAsked(ReportPrinting::Format format);
    void updateNavigation();

    std::unique_ptr<Ui::ReportPreview> m_ui;
    PreparedReport m_pages;
    PageView *m_view;
    QSpinBox *m_pageBox;
    QLabel *m_pageCount;
    QLineEdit *m_findText;
    int m_current = 0;
    int m_foundPage = 0;
    int m_foundItem = -1;
};

} // namespace report
