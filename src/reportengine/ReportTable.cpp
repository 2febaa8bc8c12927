#include "reportengine/ReportTable.h"

#include <QMap>

#include <algorithm>

namespace report {

namespace {

constexpr double kSameEdgeMm = 1.0;

} // namespace

ReportTable ReportTable::of(const PageDef &page)
{
    ReportTable table;
    for (int index = 0; index < page.bands.size(); ++index) {
        const BandDef &band = page.bands.at(index);
        if (band.kind != BandKind::MasterData || band.dataSet.isEmpty())
            continue;
        for (const ViewDef &view : band.views)
            if (view.kind == ViewKind::Text)
                table.m_columns << TableColumn{view.rect.left(), view.rect.width(), &view, nullptr};
        if (table.m_columns.isEmpty())
            continue;
        std::sort(table.m_columns.begin(), table.m_columns.end(),
                  [](const TableColumn &a, const TableColumn &b) { return a.left < b.left; });
        table.m_rows = &band;
        if (const BandDef *header = page.band(BandKind::ColumnHeader)) {
            table.findCaptions(*header, true);
        } else {
            // Without a column header the captions are the last line of the band before the rows.
            for (int before = index - 1; before >= 0; --before) {
                const BandKind kind = page.bands.at(before).kind;
                if (kind == BandKind::PageHeader || kind == BandKind::PageFooter)
                    continue;
                table.findCaptions(page.bands.at(before), false);
                break;
            }
        }
        break;
    }
    return table;
}

void ReportTable::findCaptions(const BandDef &band, bool columnHeader)
{
    // Captions stand on one line, each starting where its column starts; the line that matches
    // most columns wins, and a band that matches fewer than half of them holds no captions.
    QMap<double, QList<QPair<int, const ViewDef *>>> lines;
    for (const ViewDef &view : band.views) {
        if (view.kind != ViewKind::Text)
            continue;
        for (int c = 0; c < m_columns.size(); ++c)
            if (qAbs(m_columns.at(c).left - view.rect.left()) <= kSameEdgeMm) {
                lines[qRound(view.rect.top() * 2) / 2.0] << qMakePair(c, &view);
                break;
            }
    }
    const QList<QPair<int, const ViewDef *>> *best = nullptr;
    for (const auto &line : lines)
        if (!best || line.size() >= best->size())
            best = &line;
    if (!best || (!columnHeader && best->size() * 2 < m_columns.size()) || best->isEmpty())
        return;
    for (const auto &[column, view] : *best)
        m_columns[column].caption = view;
    m_captions = &band;
}

int ReportTable::columnOfCell(const ViewDef *view) const
{
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_columns.at(c).cell == view)
            return c;
    return -1;
}

int ReportTable::columnOfCaption(const ViewDef *view) const
{
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_columns.at(c).caption == view)
            return c;
    return -1;
}

int ReportTable::columnOf(const PreparedItem &item) const
{
    if (!isValid())
        return -1;
    if (item.band == m_rows->name)
        return columnOfCell(item.view);
    if (hasCaptions() && item.band == m_captions->name)
        return columnOfCaption(item.view);
    return -1;
}

} // namespace report
