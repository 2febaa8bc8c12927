#include "reportengine/PreparedReport.h"

namespace report {

QStringList PreparedPage::texts() const
{
    QStringList result;
    for (const PreparedItem &item : items)
        if (item.view && item.view->kind == ViewKind::Text)
            result << item.text;
    return result;
}

QList<PlacedBand> PreparedPage::bandsNamed(const QString &name) const
{
    QList<PlacedBand> result;
    for (const PlacedBand &band : bands)
        if (band.name == name)
            result << band;
    return result;
}

QString PreparedReport::title() const
{
    return info.title.trimmed().isEmpty() ? QStringLiteral("Reporte") : info.title.trimmed();
}

} // namespace report
