#pragma once
// Prints a traffic-light result table in the order of its schema: a table with the fields' labels,
// numbers to the right and each row in its band (coloured on a terminal, named in a last column),
// JSON or CSV for a spreadsheet (labels, the band named last, the separator and decimal mark of the
// user's locale, a byte order mark so that the accents survive). Every column is found by its name, so the printer follows the schema it is given
// whatever the dataset's own order. Shared by the commands that generate (directly or through the
// main form).

#include "engine/ResultSchema.h"

#include <QLocale>
#include <QString>

class QTextStream;
class TDataSet;
class TField;

// How a CSV file separates its fields and writes decimals.
struct CsvStyle {
    QChar separator = QLatin1Char(',');
    QChar decimal = QLatin1Char('.');

    // "," and "."; ";" and "," where `locale` writes decimals with a comma, as a spreadsheet
    // opened there expects.
    static CsvStyle of(const QLocale &locale);
};

class ResultPrinter {
public:
    enum class Colour { None, Basic, TrueColour };

    explicit ResultPrinter(engine::ResultTable schema = engine::trafficLightTable());

    // `format` is table, json or csv; `colour` applies to the table only.
    void print(TDataSet &result, const QString &format, QTextStream &out, Colour colour = Colour::None) const;
    void setCsvStyle(const CsvStyle &style) { m_csv = style; }

    // What standard output takes: nothing when it is not a terminal, NO_COLOR is set or the
    // terminal is dumb; the bands' own colours when COLORTERM announces true colour.
    static Colour terminalColour();

private:
    struct Column {
        const engine::ResultField *field;
        TField *value;
    };
    QList<Column> columns(TDataSet &result) const;
    void printTable(TDataSet &result, QTextStream &out, Colour colour) const;
    void printJson(TDataSet &result, QTextStream &out) const;
    void printCsv(TDataSet &result, QTextStream &out) const;

    engine::ResultTable m_schema;
    CsvStyle m_csv;
};
