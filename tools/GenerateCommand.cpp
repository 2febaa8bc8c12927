#include "tools/GenerateCommand.h"

#include "data/DAcSemaf.h"
#include "data/HeadlessWorkstation.h"
#include "tools/ResultPrinter.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"

#include <QTextStream>

#include <utility>

namespace {

// "CODE@COMPANY" into its two parts.
engine::CompanyPosition positionAt(const QString &text, const QString &option)
{
    const int at = text.lastIndexOf(QLatin1Char('@'));
    bool isNumber = false;
    const int company = at > 0 ? text.mid(at + 1).toInt(&isNumber) : 0;
    if (!isNumber)
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--%1: \"%2\" no es CÓDIGO@EMPRESA")).arg(option, text));
    return {text.left(at), company};
}

} // namespace

void addGenerateOptions(CommandLine &line)
{
    CommonOptions::addTo(line);
    line.add({
        {QStringLiteral("target"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Cargo al que se aspira.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "código@empresa"))},
        {QStringLiteral("candidates"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Cargos de los candidatos, en orden.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "código@empresa,..."))},
        {QStringLiteral("edu-sin-puntos"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Educación sin puntos: auto (la marca de la empresa), on, off.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "modo")), QStringLiteral("auto")},
    });
    addPlanNodeOptions(line);
}

void addGenerateCommandOptions(CommandLine &line)
{
    addGenerateOptions(line);
    OutputOptions::addTo(line);
}

QStringList positionOptions()
{
    return {QStringLiteral("target"), QStringLiteral("candidates"), QStringLiteral("edu-sin-puntos")};
}

GenerateOptions readGenerateOptions(const CommandLine &line)
{
    for (const char *required : {"company", "target", "candidates", "categories"})
        line.require(QLatin1String(required));

    GenerateOptions options;
    options.common = CommonOptions::read(line);
    options.flag = line.choice(QStringLiteral("edu-sin-puntos"), {"auto", "on", "off"});
    options.inputs.target = positionAt(line.value(QStringLiteral("target")), QStringLiteral("target"));
    for (const QString &item : line.value(QStringLiteral("candidates")).split(QLatin1Char(','), Qt::SkipEmptyParts))
        options.inputs.candidates << positionAt(item.trimmed(), QStringLiteral("candidates"));
    options.inputs.categories = options.common.categories;
    return options;
}

void checkGenerateInputs(const GenerateOptions &options, SDCOMConnection &connection)
{
    options.common.proveSession(connection);
    QStringList missing;
    for (const engine::CompanyPosition &position : engine::CompanyPositions{options.inputs.target} + options.inputs.candidates) {
        const protocol::FetchResult found = connection.Fetch(
            QStringLiteral("DtsPTemporal"),
            QStringLiteral("CargoExiste"),
            {{QStringLiteral("EMPRESA"), protocol::FieldType::Integer, position.company},
             {QStringLiteral("CARGO"), protocol::FieldType::String, position.code}});
        const QString name = position.code + QLatin1Char('@') + QString::number(position.company);
        if (found.rows.isEmpty() && !missing.contains(name))
            missing << name;
    }
    if (!missing.isEmpty())
        throw Exception(cliText(QT_TRANSLATE_NOOP("qacsemaf", "No existen los cargos %1.")).arg(missing.join(QStringLiteral(", "))));
}

void runGeneration(GenerateOptions &options, TDtmAcSemaf &module)
{
    if (options.flag == QLatin1String("auto"))
        options.inputs.eduSinPuntos = module.VerNexoFlags(QStringLiteral("Q0000190")).toString() == QLatin1String("S");
    else
        options.inputs.eduSinPuntos = options.flag == QLatin1String("on");
    module.GenerarSemaforoCarrera(options.inputs);
}

// The result in the chosen format, to standard output or to the file, which is replaced only
// once it is complete.
namespace {

// One headless workstation: connection, company list, scratch dataset and data module.
int generate(GenerateOptions run, const OutputOptions &output)
{
    HeadlessWorkstation workstation(run.common.session());
    checkGenerateInputs(run, workstation.connection);
    TDtmAcSemaf &module = workstation.module;
    workstation.companies.Open();
    runGeneration(run, module);

    TDataSet &result = module.CdsAcSemaf;
    result.AfterScroll = nullptr;   // printing walks the rows; the positions table is not shown
    output.write(result);
    return 0;
}

} // namespace

int runGenerateCommandWith(const QStringList &arguments, const GenerateOnPlanNode &onPlanNode)
{
    CommandLine line(arguments.value(0), cliText(QT_TRANSLATE_NOOP(
        "qacsemaf", "Genera el semáforo de un cargo al que se aspira sobre los empleados de los cargos candidatos, o "
                    "sobre un nodo de un plan de carrera (--plan, --node) en la ventana principal, e imprime el "
                    "resultado.")));
    addGenerateCommandOptions(line);
    try {
        line.parse(arguments);
        const OutputOptions output = OutputOptions::read(line);
        if (givesPlanNode(line)) {
            const PlanNode node = readPlanNode(line, positionOptions());
            if (!onPlanNode)
                throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--plan y --node van por la ventana principal, "
                                                                       "que este programa no abre")));
            return onPlanNode(line, node, output);
        }
        GenerateOptions run = readGenerateOptions(line);
        return generate(std::move(run), output);
    } catch (const UsageError &error) {
        return reportUsageError(error, arguments.value(0));
    } catch (const Exception &error) {
        return reportFailure(error.Message());
    }
}

int runGenerateCommand(const QStringList &arguments)
{
    return runGenerateCommandWith(arguments, {});
}
