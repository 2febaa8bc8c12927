#include "tools/OutputOptions.h"

#include "framework/Exceptions.h"
#include "tools/CommandLine.h"
#include "tools/ResultWorkbook.h"
#include "tools/UsageError.h"

#include <QSaveFile>
#include <QTextStream>

void OutputOptions::addTo(CommandLine &line)
{
    line.add({
        {QStringLiteral("format"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Salida: table, json, csv o xlsx (con --out).")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "formato")), QStringLiteral("table")},
        {QStringLiteral("out"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Escribe la salida en este archivo en lugar de la salida estándar.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("csv-separator"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Separador de campos del CSV (un carácter); por omisión \";\" donde el "
                                               "idioma escribe los decimales con coma, \",\" en los demás.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "carácter"))},
    });
}

OutputOptions OutputOptions::read(const CommandLine &line)
{
    OutputOptions output;
    output.format = line.choice(QStringLiteral("format"), {"table", "json", "csv", "xlsx"});
    output.out = line.value(QStringLiteral("out"));
    if (output.format == QLatin1String("xlsx") && output.out.isEmpty())
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--format xlsx necesita --out ARCHIVO")));
    if (line.isSet(QStringLiteral("out")) && output.out.isEmpty())
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--out: dé un nombre de archivo")));
    line.requireFolderOf(QStringLiteral("out"));
    if (line.isSet(QStringLiteral("csv-separator"))) {
        const QString separator = line.value(QStringLiteral("csv-separator"));
        if (output.format != QLatin1String("csv"))
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--csv-separator va con --format csv")));
        if (separator.size() != 1 || separator == QLatin1String("\"") || separator == QLatin1String("\n")
            || separator == QLatin1String("\r"))
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--csv-separator: dé un carácter que no sea comillas "
                                                                   "ni salto de línea, no \"%1\"")).arg(separator));
        output.csv.separator = separator.at(0);
    }
    return output;
}

void OutputOptions::write(TDataSet &dataSet, const engine::ResultTable &schema) const
{
    QString error;
    if (format == QLatin1String("xlsx")) {
        if (!writeResultWorkbook(dataSet, out, &error, schema))
            throw Exception(cliText(QT_TRANSLATE_NOOP("qacsemaf", "No se pudo escribir %1")).arg(error));
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
    throw Exception(cliText(QT_TRANSLATE_NOOP("qacsemaf", "No se pudo escribir %1: %2")).arg(out, file.errorString()));
}
