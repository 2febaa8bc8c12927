#include "reportengine/ReportLayout.h"

namespace report {

QSizeF PageDef::size() const
{
    return orientation == QPageLayout::Landscape ? paperSize.transposed() : paperSize;
}

QRectF PageDef::printableArea() const
{
    const QSizeF sheet = size();
    return QRectF(margins.left(), margins.top(), sheet.width() - margins.left() - margins.right(),
                  sheet.height() - margins.top() - margins.bottom());
}

const BandDef *PageDef::band(BandKind kind) const
{
    for (const BandDef &def : bands)
        if (def.kind == kind)
            return &def;
    return nullptr;
}

} // namespace report
