#pragma once
// Prints a traffic-light result table in the order of its schema: a table with the fields' labels,
// numbers to the right and each row in its band (coloured on a terminal, named in a last column),
// JSON or CSV. Every column is found by its name, so the printer follows the schema it is given
// whatever the dataset's own order. Shared by the commands that generate (directly or through the
// main form).

#include "engine/ResultSchema.h"

#include <QString>

class QTextStream;
class TDataSet;
class TField;

class ResultPrinter {
public:
    enum class Colour { None, Basic, TrueColour };

    explicit ResultPrinter(engine::ResultTable schema = engine::trafficLightTable());

    // `format` is table, json or csv; `colour` applies to the table only.
    void print(TDataSet &result, const QString &format, QTextStream &out, Colour colour = Colour::None) const;

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
};

// The result table as the command line prints it to standard output.
void printGenerationResult(TDataSet &result, const QString &format, QTextStream &out);
