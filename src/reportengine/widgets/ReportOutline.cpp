#include "reportengine/widgets/ReportOutline.h"

#include <QHeaderView>

namespace report {

namespace {

// Bands that print one record each: master data bands walking a dataset. Without the layout,
// every master data band counts.
bool isRecordBand(const PreparedReport &report, const PlacedBand &band)
{
    if (band.kind != BandKind::MasterData)
        return false;
    if (!report.layout)
        return true;
    for (const PageDef &page : report.layout->pages)
        for (const BandDef &def : page.bands)
            if (def.name == band.name)
                return !def.dataSet.isEmpty();
    return false;
}

// A record as the reader knows it: the first two texts of its band.
QString recordText(const PreparedPage &page, const PlacedBand &band)
{
    QStringList texts;
    for (const PreparedItem &item : page.items) {
        if (item.band != band.name || !band.rect.contains(item.rect.center()) || item.text.trimmed().isEmpty())
            continue;
        texts << item.text.simplified();
        if (texts.size() == 2)
            break;
    }
    return texts.join(QLatin1Char(' '));
}

} // namespace

ReportOutline::ReportOutline(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setEditTriggers(NoEditTriggers);
    setColumnCount(1);
    setAccessibleName(QStringLiteral("Índice"));
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        Q_EMIT pageChosen(indexOfTopLevelItem(item));
    });
    connect(this, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
        Q_EMIT pageChosen(indexOfTopLevelItem(item));
    });
}

QString ReportOutline::pageSummary(const PreparedReport &report, int index)
{
    const PreparedPage &page = report.pages.at(index);
    QStringList records;
    for (const PlacedBand &band : page.bands)
        if (isRecordBand(report, band))
            if (const QString text = recordText(page, band); !text.isEmpty())
                records << text;
    if (records.size() == 1)
        return records.first();
    if (records.size() > 1)
        return QStringLiteral("%1 … %2").arg(records.first(), records.last());
    for (const PreparedItem &item : page.items)
        if (item.view && item.view->kind == ViewKind::Chart) {
            QStringList series;
            for (const ChartSeriesDef &def : item.view->chart.series)
                series << def.title;
            return QStringLiteral("Gráfico: %1").arg(series.join(QStringLiteral(" / ")));
        }
    for (const PreparedItem &item : page.items)
        if (item.bandKind == BandKind::MasterData && !item.text.trimmed().isEmpty())
            return item.text.simplified();
    return QString();
}

void ReportOutline::setReport(const PreparedReport &report)
{
    clear();
    for (int i = 0; i < report.pageCount(); ++i) {
        const QString summary = pageSummary(report, i);
        const QString text = summary.isEmpty() ? QStringLiteral("Página %1").arg(i + 1)
                                               : QStringLiteral("Página %1: %2").arg(i + 1).arg(summary);
        auto *item = new QTreeWidgetItem(this, {text});
        item->setToolTip(0, text);
    }
}

void ReportOutline::setCurrentPage(int index)
{
    const QSignalBlocker blocker(this);
    if (QTreeWidgetItem *item = topLevelItem(index))
        setCurrentItem(item);
}

} // namespace report
