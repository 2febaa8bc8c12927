#pragma once
// Lays a report out into pages: page header and footer on every page, the column header before
// the first row and again at the top of every following page, master rows walked with
// First/Next, the master footer and the summary after the last row. A band that does not fit
// above the page footer starts a new page; each page of the layout starts a new sheet.

#include "PreparedReport.h"
#include "Report.h"
#include "TextTemplate.h"

#include <QDate>
#include <QHash>
#include <QTime>

namespace report {

class ReportBuilder {
public:
    ReportBuilder(std::shared_ptr<const ReportLayout> layout, QHash<QString, TDataSet *> dataSets,
                  Report::GetValueHandler getValue, Report::Progress progress);
    PreparedReport build();

private:
    void buildPage(const PageSpec &page);
    void startSheet();
    void finishSheet();
    void place(const BandSpec &band, double keepWithNext = 0);
    void put(const BandSpec &band, double top);
    void runMaster(const BandSpec &band);
    PreparedItem prepareView(const ViewSpec &view, const BandSpec &band, double top);
    void prepareText(const ViewSpec &view, PreparedItem &item);
    void preparePicture(const ViewSpec &view, PreparedItem &item);
    void prepareChart(const ViewSpec &view, PreparedItem &item);
    QVariant evaluate(const Expression &expression);
    TDataSet *openDataSet(const QString &name) const;
    QVariant fieldValue(const QString &dataSet, const QString &field) const;
    const TextTemplate &templateOf(const ViewSpec &view);
    int masterRowTotal() const;
    void reportProgress();

    std::shared_ptr<const ReportLayout> m_layout;
    QHash<QString, TDataSet *> m_dataSets;
    Report::GetValueHandler m_getValue;
    Report::Progress m_progress;

    PreparedReport m_result;
    const PageSpec *m_page = nullptr;
    const BandSpec *m_repeatHeader = nullptr;
    double m_y = 0;             // next free position on the sheet, mm
    double m_bottom = 0;        // where the page footer begins, mm
    bool m_bodyPlaced = false;  // the sheet holds more than its headers
    int m_pageNumber = 0;
    QHash<QString, int> m_counts;
    int m_rowsDone = 0;
    int m_rowsTotal = 0;
    QDate m_date;
    QTime m_time;
    QHash<const ViewSpec *, TextTemplate> m_templates;
    QHash<QByteArray, QImage> m_pictures;
};

} // namespace report
