#include "tools/GenerateCommand.h"

#include "data/DAcSemaf.h"
#include "data/HeadlessWorkstation.h"
#include "tools/ResultPrinter.h"
#include "tools/ResultWorkbook.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/Ugnnorma.h"

#include <QCommandLineParser>
#include <QSaveFile>
#include <QTextStream>

namespace {

struct PrintOptions {
    GenerateOptions run;
    QString format;   // table, json, csv, xlsx
    QString out;      // the file written in place of standard output; empty: standard output
    CsvStyle csv;
};

// "CODE@COMPANY" into its two parts.
engine::CompanyPosition positionAt(const QString &text, const QString &option)
{
    const int at = text.lastIndexOf(QLatin1Char('@'));
    bool isNumber = false;
    const int company = at > 0 ? text.mid(at + 1).toInt(&isNumber) : 0;
    if (!isNumber)
        throw UsageError(QStringLiteral("--%1: \"%2\" is not CODE@COMPANY").arg(option, text));
    return {text.left(at), company};
}

} // namespace

void addGenerateOptions(QCommandLineParser &parser)
{
    CommonOptions::addTo(parser);
    parser.addOptions({
        {QStringLiteral("target"), QStringLiteral("Target position."), QStringLiteral("code@company")},
        {QStringLiteral("candidates"), QStringLiteral("Candidate positions, in order."),
         QStringLiteral("code@company,...")},
        {QStringLiteral("edu-sin-puntos"), QStringLiteral("Education without points: auto (the company's flag), on, off."),
         QStringLiteral("mode"), QStringLiteral("auto")},
    });
}

GenerateOptions readGenerateOptions(const QCommandLineParser &parser)
{
    for (const char *required : {"company", "target", "candidates", "categories"})
        if (!parser.isSet(QLatin1String(required)))
            throw UsageError(QStringLiteral("--%1 is required").arg(QLatin1String(required)));

    GenerateOptions options;
    options.common = CommonOptions::read(parser);
    options.flag = parser.value(QStringLiteral("edu-sin-puntos")).toLower();
    if (!QStringList{"auto", "on", "off"}.contains(options.flag))
        throw UsageError(QStringLiteral("--edu-sin-puntos: use auto, on or off"));

    options.inputs.target = positionAt(parser.value(QStringLiteral("target")), QStringLiteral("target"));
    for (const QString &item : parser.value(QStringLiteral("candidates")).split(QLatin1Char(','), Qt::SkipEmptyParts))
        options.inputs.candidates << positionAt(item.trimmed(), QStringLiteral("candidates"));
    options.inputs.categories = options.common.categories;
    return options;
}

void startGenerateSession(const GenerateOptions &options)
{
    options.common.startSession();
}

void checkGenerateInputs(const GenerateOptions &options, SDCOMConnection &connection)
{
    options.common.proveSession(connection);
    QStringList missing;
    for (const engine::CompanyPosition &position : engine::CompanyPositions{options.inputs.target} + options.inputs.candidates) {
        const protocol::FetchResult found = connection.Fetch(
            QStringLiteral("DtsPTemporal"),
            QStringLiteral("SELECT COD_CARG FROM BI_CARGO WHERE COD_EMPR = :EMPRESA AND COD_CARG = :CARGO"),
            {{QStringLiteral("EMPRESA"), protocol::FieldType::Integer, position.company},
             {QStringLiteral("CARGO"), protocol::FieldType::String, position.code}});
        const QString name = position.code + QLatin1Char('@') + QString::number(position.company);
        if (found.rows.isEmpty() && !missing.contains(name))
            missing << name;
    }
    if (!missing.isEmpty())
        throw Exception(QStringLiteral("No existen los cargos %1.").arg(missing.join(QStringLiteral(", "))));
}

void runGeneration(GenerateOptions &options, TDtmAcSemaf &module)
{
    if (options.flag == QLatin1String("auto"))
        options.inputs.eduSinPuntos = module.VerNexoFlags(QStringLiteral("Q0000190")).toString() == QLatin1String("S");
    else
        options.inputs.eduSinPuntos = options.flag == QLatin1String("on");
    module.GenerarSemaforoCarrera(options.inputs);
}

namespace {

PrintOptions readPrintOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs the traffic-light generation for a target position against the holders of the candidate positions."));
    addGenerateOptions(parser);
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
    CommonOptions::parse(parser, arguments);
    PrintOptions options{readGenerateOptions(parser), parser.value(QStringLiteral("format")).toLower(),
                         parser.value(QStringLiteral("out")), CsvStyle::of(QLocale::system())};
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

// The result in the chosen format, to standard output or to the file, which is replaced only
// once it is complete.
void writeResult(TDataSet &result, const PrintOptions &options)
{
    QString error;
    if (options.format == QLatin1String("xlsx")) {
        if (!writeResultWorkbook(result, options.out, &error))
            throw Exception(QStringLiteral("No se pudo escribir %1").arg(error));
        return;
    }
    if (options.out.isEmpty()) {
        QTextStream out(stdout);
        printGenerationResult(result, options.format, out, true, options.csv);
        return;
    }
    QSaveFile file(options.out);
    if (file.open(QIODevice::WriteOnly)) {
        QTextStream out(&file);
        printGenerationResult(result, options.format, out, false, options.csv);
        out.flush();
        if (file.commit())
            return;
    }
    throw Exception(QStringLiteral("No se pudo escribir %1: %2").arg(options.out, file.errorString()));
}

// One headless workstation: connection, company list, scratch dataset and data module.
int generate(PrintOptions options)
{
    startGenerateSession(options.run);
    HeadlessWorkstation workstation;
    checkGenerateInputs(options.run, workstation.connection);
    TDtmAcSemaf &module = workstation.module;
    workstation.companies.Open();
    runGeneration(options.run, module);

    TDataSet &result = module.CdsAcSemaf;
    result.AfterScroll = nullptr;   // printing walks the rows; the positions table is not shown
    writeResult(result, options);
    return 0;
}

} // namespace

int runGenerateCommand(const QStringList &arguments)
{
    QTextStream err(stderr);
    try {
        return generate(readPrintOptions(arguments));
    } catch (const UsageError &error) {
        err << "qacsemaf generate: " << error.message() << '\n';
        return 2;
    } catch (const Exception &error) {
        err << error.Message() << '\n';
        return 1;
    }
}
