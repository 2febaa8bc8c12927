#include "reportengine/ReportBuilder.h"

#include "framework/Exceptions.h"
#include "framework/dataset/TDataSet.h"
#include "framework/dataset/TField.h"

#include <QDateTime>

namespace report {

ReportBuilder::ReportBuilder(std::shared_ptr<const ReportLayout> layout, QHash<QString, TDataSet *> dataSets,
                             Report::GetValueHandler getValue, Report::Progress progress)
    : m_layout(std::move(layout)), m_dataSets(std::move(dataSets)), m_getValue(std::move(getValue)),
      m_progress(std::move(progress))
{
}

PreparedReport ReportBuilder::build()
{
    if (!m_layout)
        throw Exception(QStringLiteral("The report has no layout"));
    const QDateTime now = QDateTime::currentDateTime();
    m_date = now.date();
    m_time = now.time();
    m_result.layout = m_layout;
    m_rowsTotal = masterRowTotal();
    for (const PageDef &page : m_layout->pages)
        buildPage(page);
    return std::move(m_result);
}

int ReportBuilder::masterRowTotal() const
{
    int total = 0;
    for (const PageDef &page : m_layout->pages)
        for (const BandDef &band : page.bands)
            if (band.kind == BandKind::MasterData)
                total += band.dataSet.isEmpty() ? 1 : openDataSet(band.dataSet)->RecordCount();
    return total;
}

void ReportBuilder::buildPage(const PageDef &page)
{
    m_page = &page;
    m_repeatHeader = nullptr;
    startSheet();
    for (int index = 0; index < page.bands.size(); ++index) {
        const BandDef &band = page.bands.at(index);
        switch (band.kind) {
        case BandKind::PageHeader:
        case BandKind::PageFooter:
            break;
        case BandKind::ColumnHeader: {
            // The header never stays alone at the bottom of a sheet: it keeps its first row.
            const double next = index + 1 < page.bands.size() ? page.bands.at(index + 1).height : 0;
            place(band, next);
            m_repeatHeader = &band;
            break;
        }
        case BandKind::MasterData:
            runMaster(band);
            break;
        case BandKind::MasterFooter:
        case BandKind::Summary:
            m_repeatHeader = nullptr;
            place(band);
            break;
        }
    }
    finishSheet();
}

void ReportBuilder::startSheet()
{
    ++m_pageNumber;
    PreparedPage sheet;
    sheet.layoutPage = int(m_page - m_layout->pages.data());
    sheet.size = m_page->size();
    sheet.orientation = m_page->orientation;
    m_result.pages << sheet;
    const QRectF area = m_page->printableArea();
    m_y = area.top();
    const BandDef *footer = m_page->band(BandKind::PageFooter);
    m_bottom = area.bottom() - (footer ? footer->height : 0);
    m_bodyPlaced = false;
    if (const BandDef *header = m_page->band(BandKind::PageHeader))
        put(*header, m_y);
    if (m_repeatHeader)
        put(*m_repeatHeader, m_y);
}

void ReportBuilder::finishSheet()
{
    if (const BandDef *footer = m_page->band(BandKind::PageFooter))
        put(*footer, m_bottom);
}

void ReportBuilder::place(const BandDef &band, double keepWithNext)
{
    // A band taller than an empty sheet is placed anyway rather than breaking without end.
    if (m_bodyPlaced && m_y + band.height + keepWithNext > m_bottom + 1e-6) {
        finishSheet();
        startSheet();
    }
    put(band, m_y);
    m_bodyPlaced = true;
}

void ReportBuilder::put(const BandDef &band, double top)
{
    PreparedPage &sheet = m_result.pages.last();
    const QRectF area = m_page->printableArea();
    sheet.bands << PlacedBand{band.name, band.kind, QRectF(area.left(), top, area.width(), band.height)};
    for (const ViewDef &view : band.views)
        sheet.items << prepareView(view, band, top);
    if (band.kind != BandKind::PageFooter)
        m_y = top + band.height;
}

void ReportBuilder::runMaster(const BandDef &band)
{
    int &count = m_counts[band.name];
    if (band.dataSet.isEmpty()) {
        ++count;
        place(band);
        ++m_rowsDone;
        return;
    }
    TDataSet *dataSet = openDataSet(band.dataSet);
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) {
        ++count;
        place(band);
        ++m_rowsDone;
        reportProgress();
    }
}

void ReportBuilder::reportProgress()
{
    if (m_progress && m_rowsDone % 64 == 0 && !m_progress(m_rowsDone, m_rowsTotal))
        throw EAbort();
}

PreparedItem ReportBuilder::prepareView(const ViewDef &view, const BandDef &band, double top)
{
    PreparedItem item;
    item.view = &view;
    item.band = band.name;
    item.bandKind = band.kind;
    item.rect = view.rect.translated(m_page->printableArea().left(), top);
    switch (view.kind) {
    case ViewKind::Text:
        prepareText(view, item);
        break;
    case ViewKind::Picture:
        preparePicture(view, item);
        break;
    case ViewKind::Chart:
        prepareChart(view, item);
        break;
    }
    return item;
}

void ReportBuilder::prepareText(const ViewDef &view, PreparedItem &item)
{
    const auto result = templateOf(view).evaluate([this](const Expression &e) { return evaluate(e); }, view.format);
    item.text = result.text;
    item.number = result.number;
    item.dateTime = result.dateTime;
    item.prefix = result.prefix;
    item.suffix = result.suffix;
}

void ReportBuilder::preparePicture(const ViewDef &view, PreparedItem &item)
{
    const QByteArray bytes = fieldValue(view.dataSet, view.field).toByteArray();
    if (bytes.isEmpty())
        return;
    // One image per distinct picture, so that a PDF embeds a logo repeated on every page once.
    auto found = m_pictures.find(bytes);
    if (found == m_pictures.end())
        found = m_pictures.insert(bytes, QImage::fromData(bytes));
    item.picture = *found;
}

void ReportBuilder::prepareChart(const ViewDef &view, PreparedItem &item)
{
    const ChartDef &chart = view.chart;
    TDataSet *dataSet = openDataSet(chart.dataSet);
    item.chart.values.resize(chart.series.size());
    for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) {
        item.chart.labels << fieldValue(chart.dataSet, chart.labelField).toString();
        for (int s = 0; s < chart.series.size(); ++s)
            item.chart.values[s] << fieldValue(chart.dataSet, chart.series.at(s).valueField).toDouble();
    }
}

QVariant ReportBuilder::evaluate(const Expression &expression)
{
    switch (expression.kind) {
    case Expression::Field:
        return fieldValue(expression.dataSet, expression.name);
    case Expression::Page:
        return m_pageNumber;
    case Expression::Date:
        return m_date;
    case Expression::Time:
        return m_time;
    case Expression::Count:
        return m_counts.value(expression.name);
    case Expression::Variable: {
        QVariant value;
        if (m_getValue)
            m_getValue(expression.name, value);
        return value;
    }
    }
    return QVariant();
}

TDataSet *ReportBuilder::openDataSet(const QString &name) const
{
    TDataSet *dataSet = m_dataSets.value(name);
    if (!dataSet)
        throw Exception(QStringLiteral("No se puede preparar el reporte: no tiene el conjunto de datos \"%1\".").arg(name));
    if (!dataSet->Active())
        throw Exception(QStringLiteral("No se puede preparar el reporte: el conjunto de datos \"%1\" está cerrado.").arg(name));
    return dataSet;
}

QVariant ReportBuilder::fieldValue(const QString &dataSet, const QString &field) const
{
    TDataSet *source = openDataSet(dataSet);
    TField *found = source->FindField(field);
    if (!found)
        throw Exception(QStringLiteral("No se puede preparar el reporte: el conjunto de datos \"%1\" no tiene el campo \"%2\".").arg(dataSet, field));
    if (source->IsEmpty())
        return QVariant();
    return found->AsVariant();
}

const TextTemplate &ReportBuilder::templateOf(const ViewDef &view)
{
    auto found = m_templates.find(&view);
    if (found == m_templates.end())
        found = m_templates.insert(&view, TextTemplate::parse(view.text).value_or(TextTemplate()));
    return *found;
}

} // namespace report
