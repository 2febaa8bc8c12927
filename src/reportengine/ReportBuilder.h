#pragma once
// Lays a report out into pages: page header and footer on every page, the column header before
// the first row and again at the top of every following page, master rows walked with
// First/Next, the master footer and the summary after the last row. A band that does not fit
// above the page footer starts a new page; each page of the layout starts a new sheet.

#include "reportengine/PreparedReport.h"
#include "reportengine/Report.h"
#include "reportengine/TextTemplate.h"

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
    void buildPage(const PageDef &page);
    void startSheet();
    void finishSheet();
    void place(const BandDef &band, double keepWithNext = 0);
    void put(const BandDef &band, double top);
    void runMaster(const BandDef &band);
    PreparedItem prepareView(const ViewDef &view, const BandDef &band, double top);
    void prepareText(const ViewDef &view, PreparedItem &item);
    void preparePicture(const ViewDef &view, PreparedItem &item);
    void prepareChart(const ViewDef &view, PreparedItem &item);
    QVariant evaluate(const Expression &expression);
    TDataSet *openDataSet(const QString &name) const;
    QVariant fieldValue(const QString &dataSet, const QString &field) const;
    const TextTemplate &templateOf(const ViewDef &view);
    int masterRowTotal() const;
    void reportProgress();

    std::shared_ptr<const ReportLayout> m_layout;
    QHash<QString, TDataSet *> m_dataSets;
    Report::GetValueHandler m_getValue;
    Report::Progress m_progress;

    PreparedReport m_result;
    const PageDef *m_page = nullptr;
    const BandDef *m_repeatHeader = nullptr;
    double m_y = 0;             // next free position on the sheet, mm
    double m_bottom = 0;        // where the page footer begins, mm
    bool m_bodyPlaced = false;  // the sheet holds more than its headers
    int m_pageNumber = 0;
    QHash<QString, int> m_counts;
    int m_rowsDone = 0;
    int m_rowsTotal = 0;
    QDate m_date;
    QTime m_time;
    QHash<const ViewDef *, TextTemplate> m_templates;
    QHash<QByteArray, QImage> m_pictures;
};

} // namespace report
