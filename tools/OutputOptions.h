#pragma once
// Where and how a command writes a result table: --format table|json|csv|xlsx, --out FILE and
// --csv-separator, checked together, and the writing itself through the result printer or the
// worksheet, for any table of the result schema. A file is replaced only once it is complete.

#include "engine/ResultSchema.h"
#include "tools/ResultPrinter.h"

#include <QString>

class CommandLine;
class TDataSet;

struct OutputOptions {
    QString format = QStringLiteral("table");   // table, json, csv, xlsx
    QString out;                                 // empty: standard output
    CsvStyle csv = CsvStyle::of(QLocale::system());

    static void addTo(CommandLine &line);
    // Throws UsageError for an unknown format, xlsx without a file, an empty file name, a file
    // in a folder that does not exist or a separator that is not one plain character (or comes
    // without --format csv).
    static OutputOptions read(const CommandLine &line);

    // Writes `dataSet` in the order of `schema`; throws Exception ("No se pudo escribir ...").
    void write(TDataSet &dataSet, const engine::ResultTable &schema = engine::trafficLightTable()) const;
};
