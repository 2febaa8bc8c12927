#include "ui/ResultGrid.h"

#include "engine/ResultSchema.h"
#include "framework/widgets/TVelkarDBgrid.h"

QColor colorDeBanda(engine::Band banda)
{
    const engine::Rgb color = engine::bandColour(banda);
    return QColor(color.red, color.green, color.blue);
}

void mostrarColumnas(TVelkarDBgrid &grilla, const engine::ResultTable &tabla)
{
    QList<TVelkarDBgrid::TColumn> columnas;
    for (const engine::GridColumn &columna : tabla.grid()) {
        TVelkarDBgrid::TColumn mostrada;
        mostrada.FieldName = columna.field;
        mostrada.Width = columna.width;
        mostrada.Hint = columna.hint;
        columnas.append(mostrada);
    }
    grilla.setColumns(columnas);
}

void pintarPorBanda(TVelkarDBgrid &grilla, const engine::ResultTable &tabla)
{
    grilla.OnDrawColumnCell = [tabla](TVelkarDBgrid *sender, const QRect &, int, const TVelkarDBgrid::TColumn &,
                                      QStyle::State, TVelkarDBgrid::TCellCanvas &canvas) {
        if (const std::optional<engine::Band> banda = tabla.bandOf(sender->CellValue(canvas.Row, tabla.bandField)))
            canvas.Brush = colorDeBanda(*banda);
    };
}
