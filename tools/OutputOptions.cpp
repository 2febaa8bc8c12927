#include "tools/OutputOptions.h"

#include "framework/Exceptions.h"
#include "tools/ResultWorkbook.h"
#include "tools/UsageError.h"

#include <QCommandLineParser>
#include <QSaveFile>
#include <QTextStream>

void OutputOptions::addTo(QCommandLineParser &parser)
{
    parser.addOptions({
        {QStringLiteral("format"), QStringLiteral("Output: table, json, csv or xlsx (with --out)."),
         QStringLiteral("format"), QStringLiteral("table")},
        {QStringLiteral("out"), QStringLiteral("Writes the output to this file instead of standard output."),
         QStringLiteral("file")},
        {QStringLiteral("csv-separator"),
         QStringLiteral("Field separator of the CSV (one character); by default \";\" where the locale writes "
                        "decimals with a comma, \",\" elsewhere."),
         QStringLiteral("char")},
    });
}

OutputOptions OutputOptions::read(const QCommandLineParser &parser)
{
    OutputOptions options;
    options.format = parser.value(QStringLiteral("format")).toLower();
    options.out = parser.value(QStringLiteral("out"));
    if (!QStringList{"table", "json", "csv", "xlsx"}.contains(options.format))
        throw UsageError(QStringLiteral("--format: use table, json, csv or xlsx"));
    if (options.format == QLatin1String("xlsx") && options.out.isEmpty())
        throw UsageError(QStringLiteral("--format xlsx needs --out FILE"));
    if (parser.isSet(QStringLiteral("out")) && options.out.isEmpty())
        throw UsageError(QStringLiteral("--out: give a file name"));
    if (parser.isSet(QStringLiteral("csv-separator"))) {
        const QString separator = parser.value(QStringLiteral("csv-separator"));
        if (options.format != QLatin1String("csv"))
            throw UsageError(QStringLiteral("--csv-separator goes with --format csv"));
        if (separator.size() != 1 || separator == QLatin1String("\"") || separator == QLatin1String("\n")
            || separator == QLatin1String("\r"))
            throw UsageError(QStringLiteral("--csv-separator: give one character other than a quote or a line break, "
                                            "not \"%1\"").arg(separator));
        options.csv.separator = separator.at(0);
    }
    return options;
}

void OutputOptions::write(TDataSet &dataSet, const engine::ResultTable &schema) const
{
    QString error;
    if (format == QLatin1String("xlsx")) {
        if (!writeResultWorkbook(dataSet, out, &error, schema))
            throw Exception(QStringLiteral("No se pudo escribir %1").arg(error));
        return;
    }
    ResultPrinter printer(schema);
    printer.setCsvStyle(csv);
    if (out.isEmpty()) {
        QTextStream stream(stdout);
        printer.print(dataSet, format, stream, ResultPrinter::terminalColour());
        return;
    }
    QSaveFile file(out);
    if (file.open(QIODevice::WriteOnly)) {
        QTextStream stream(&file);
        printer.print(dataSet, format, stream);
        stream.flush();
        if (file.commit())
            return;
    }
    throw Exception(QStringLiteral("No se pudo escribir %1: %2").arg(out, file.errorString()));
}
