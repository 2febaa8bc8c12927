#pragma once
// The table a layout page prints: the master band walked over a dataset gives one row per
// record, its text views the columns (left to right), and the boxed captions just above them the
// header row. Exports that write real tables (worksheet rows, word-processor tables) read a
// report through this instead of guessing a grid from positions.

#include "reportengine/PreparedReport.h"
#include "reportengine/ReportLayout.h"

namespace report {

struct TableColumn {
    double left = 0;                    // mm, inside the printable area
    double width = 0;
    const ViewDef *cell = nullptr;      // the view printed for every record
    const ViewDef *caption = nullptr;   // its header caption, when the layout has one
};

class ReportTable {
public:
    // The first master band of `page` that walks a dataset; an invalid table when there is none.
    static ReportTable of(const PageDef &page);

    bool isValid() const { return m_rows != nullptr; }
    const BandDef *rowBand() const { return m_rows; }
    // The band holding the captions: the column header, or the band printed just before the rows.
    const BandDef *captionBand() const { return m_captions; }
    const QList<TableColumn> &columns() const { return m_columns; }

    // The column a view prints in, as a cell of the rows or as a caption; -1 for any other view.
    int columnOfCell(const ViewDef *view) const;
    int columnOfCaption(const ViewDef *view) const;
    bool hasCaptions() const { return m_captions != nullptr; }
    // The column a placed item prints in: a cell of a record or a caption of the header; -1 for
    // anything else (and for every item when the page has no table).
    int columnOf(const PreparedItem &item) const;

private:
    void findCaptions(const BandDef &band, bool columnHeader);

    const BandDef *m_rows = nullptr;
    const BandDef *m_captions = nullptr;
    QList<TableColumn> m_columns;
};

} // namespace report
