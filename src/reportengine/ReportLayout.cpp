#include "ReportLayout.h"

namespace report {

QSizeF PageSpec::size() const
{
    return orientation == QPageLayout::Landscape ? paperSize.transposed() : paperSize;
}

QRectF PageSpec::printableArea() const
{
    const QSizeF sheet = size();
    return QRectF(margins.left(), margins.top(), sheet.width() - margins.left() - margins.right(),
                  sheet.height() - margins.top() - margins.bottom());
}

const BandSpec *PageSpec::band(BandKind kind) const
{
    for (const BandSpec &spec : bands)
        if (spec.kind == kind)
            return &spec;
    return nullptr;
}

} // namespace report
