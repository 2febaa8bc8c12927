#pragma once
// The traffic-light result as data: the two tables a run fills (the result table and the
// "Cargos Plan de Carrera" rows beside it) with their fields in order, the columns the window's
// grid shows of them, and the bands a percentage falls in. The data module builds its datasets
// from these definitions, the grids take their columns from them and paint with band(), the
// command line prints by field name; nothing else spells them out. A new result column is a
// field here (and, when the window shows it, a grid column) plus its computation.

#include <QLatin1String>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>
#include <optional>
#include <utility>

namespace engine {

// Field names the engine itself writes or reads.
namespace resultfield {
inline constexpr QLatin1String CodEmpl("COD_EMPL");
inline constexpr QLatin1String PorEmpl("POR_EMPL");
inline constexpr QLatin1String NumPera("NUM_PERA");
inline constexpr QLatin1String ApeEmpl("APE_EMPL");
inline constexpr QLatin1String NomEmpl("NOM_EMPL");
inline constexpr QLatin1String CodEmca("COD_EMCA");
inline constexpr QLatin1String CodCarg("COD_CARG");
inline constexpr QLatin1String DtfCargo("DtfCargo");
inline constexpr QLatin1String DtfProcent("DtfProcent");
inline constexpr QLatin1String DtfPerfiles("DtfPerfiles");
} // namespace resultfield

enum class ResultFieldType { Float, SmallInt, Text, Integer };

struct ResultField {
    QString name;
    ResultFieldType type = ResultFieldType::Text;
    int size = 0;            // characters of a text field, 0 otherwise
    QString label;           // display label; empty where the table shows none
    QString displayFormat;   // empty: the workstation's default
    // A value is stored as the suite's number formatter shows it under this mask and reads it
    // back ("###.##": two decimals); empty when values are stored as computed.
    QString storedMask;

    bool isNumber() const { return type != ResultFieldType::Text; }
    // What a header shows: the label, or the name where there is none.
    QString caption() const { return label.isEmpty() ? name : label; }
};

// A column of the window's grid over a table. Its title and display format are the field's.
struct GridColumn {
    GridColumn(QString fieldName, int pixels = 0, QString titleHint = {})
        : field(std::move(fieldName)), width(pixels), hint(std::move(titleHint))
    {
    }

    QString field;
    int width = 0;   // pixels; 0: as wide as the field's text can be
    QString hint;    // what the title explains when the mouse rests on it; empty: nothing
};

// The traffic-light bands of a compliance percentage.
enum class Band { Red, Yellow, Green };

struct ResultTable {
    QString name;         // the data module's dataset
    QString reportName;   // the name the report layouts read it under; empty when none does
    QString bandField;    // the percentage its rows are coloured by
    // Whether a row whose percentage is empty has no band (it measured nothing); otherwise an
    // empty percentage reads as 0, as the rules read it.
    bool emptyHasNoBand = false;
    QVector<ResultField> fields;
    // The window's grid: the columns it shows, in order; empty: every field, in order, as wide
    // as its text can be.
    QVector<GridColumn> gridColumns;

    // The columns of the window's grid, filled in from the fields where none are declared.
    QVector<GridColumn> grid() const;
    // The band of a row whose band field holds `percentage`; none as emptyHasNoBand says.
    std::optional<Band> bandOf(const QVariant &percentage) const;

    // The field of that name (exact), or null.
    const ResultField *field(const QString &fieldName) const;
    QStringList fieldNames() const;
};

// CdsAcSemaf: one row per evaluated contract.
const ResultTable &trafficLightTable();
// CdsCargUsuario: the plan positions beside the employee under the result cursor.
const ResultTable &careerPositionsTable();
// Either of the two by dataset name, or null.
const ResultTable *resultTable(const QString &dataSetName);

// The suite's number formatter: a value as a display mask shows it, read back as a number.
// Handed in by whoever owns the session, so that the engine keeps no global.
using MaskFormatter = std::function<double(const QString &mask, double value)>;
using Rounding = std::function<double(double)>;
// How values of `field` are stored: through `formatter` under the field's mask, unchanged
// when the field has none.
Rounding storedRounding(const ResultField &field, MaskFormatter formatter);


struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// Green from 91.1, compared in extended precision (the double nearest 91.1 lies below that
// bound, so it is yellow); yellow from 70; red below, an empty value (0) included.
Band band(double percentage);
// The cell background of a band.
Rgb bandColour(Band band);
// The band as text output names it: "verde", "amarillo", "rojo".
QString bandName(Band band);

} // namespace engine
