#pragma once
// The window's grids over the engine's result tables: the columns the table's schema declares
// (fields in order, widths, title hints; titles and display formats come with the dataset's
// fields, which the same schema defines) and every row in the band of the table's percentage.

#include <QColor>

class TVelkarDBgrid;
namespace engine {
enum class Band;
struct ResultTable;
}

// The colour a band is painted in on the window.
QColor colorDeBanda(engine::Band banda);

// Gives `grilla` the columns `tabla` declares for it.
void mostrarColumnas(TVelkarDBgrid &grilla, const engine::ResultTable &tabla);
// Paints every cell of a row in the band of the row's percentage, read from the table's band
// field; a row without a band (an empty percentage, where the table says it has none) keeps the
// grid's background.
void pintarPorBanda(TVelkarDBgrid &grilla, const engine::ResultTable &tabla);
