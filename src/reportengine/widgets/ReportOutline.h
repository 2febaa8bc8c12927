#pragma once
// The outline of a prepared report: one entry per page saying what is on it (its first and last
// record, or its chart, or its first line of body text). Clicking an entry asks for its page.

#include "reportengine/PreparedReport.h"

#include <QTreeWidget>

namespace report {

class ReportOutline : public QTreeWidget {
    Q_OBJECT
public:
    explicit ReportOutline(QWidget *parent = nullptr);

    void setReport(const PreparedReport &report);
    void setCurrentPage(int index);   // marks the page's entry without asking for it

    // What page `index` of `report` holds, in a few words.
    static QString pageSummary(const PreparedReport &report, int index);

Q_SIGNALS:
    void pageChosen(int index);
};

} // namespace report
