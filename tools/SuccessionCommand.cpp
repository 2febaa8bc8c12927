#include "tools/SuccessionCommand.h"

#include "data/DAcSemaf.h"
#include "data/HeadlessWorkstation.h"
#include "data/SuccessionMap.h"
#include "engine/SuccessionSchema.h"
#include "framework/Exceptions.h"
#include "tools/CommandLine.h"
#include "tools/CommonOptions.h"
#include "tools/OutputOptions.h"

#include <QTextStream>

#include <optional>

namespace {

struct SuccessionOptions {
    CommonOptions common;
    OutputOptions output;
    int plan = 0;
    std::optional<int> node;
    bool gaps = false;
    QString flag;   // auto, on, off
};

void addSuccessionOptions(CommandLine &line)
{
    CommonOptions::addTo(line);
    line.add({
        {QStringLiteral("plan"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "El plan de carrera (COD_MENU).")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "número"))},
        {QStringLiteral("node"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Solo este nodo: sus filas del semáforo o, con --gaps, sus brechas.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "número"))},
        {QStringLiteral("gaps"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Imprime los requisitos que los candidatos no alcanzan (Brechas): los "
                                               "del plan entero, o los del nodo con --node."))},
        {QStringLiteral("edu-sin-puntos"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Educación sin puntos: auto (la marca de la empresa), on, off.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "modo")), QStringLiteral("auto")},
    });
    OutputOptions::addTo(line);
}

// Every argument before any work; throws UsageError.
SuccessionOptions readOptions(const CommandLine &line)
{
    for (const char *required : {"company", "plan", "categories"})
        line.require(QLatin1String(required));
    SuccessionOptions options;
    options.output = OutputOptions::read(line);
    options.common = CommonOptions::read(line);
    options.plan = line.number(QStringLiteral("plan"), 0);
    if (line.isSet(QStringLiteral("node")))
        options.node = line.number(QStringLiteral("node"), 0);
    options.gaps = line.isSet(QStringLiteral("gaps"));
    options.flag = line.choice(QStringLiteral("edu-sin-puntos"), {"auto", "on", "off"});
    return options;
}

// Prints what was asked for from one headless workstation.
int succession(const SuccessionOptions &options)
{
    HeadlessWorkstation workstation(options.common.session());
    options.common.proveSession(workstation.connection);
    workstation.companies.Open();
    SuccessionMap map(workstation.module);

    engine::SuccessionRequest request;
    request.categories = options.common.categories;
    request.eduSinPuntos = options.flag == QLatin1String("auto") ? map.companyEduSinPuntos()
                                                                 : options.flag == QLatin1String("on");
    const engine::CareerPlanShape shape = map.readPlan(options.common.company, options.plan);

    TClientDataSet table(QStringLiteral("CdsSalida"));
    if (options.node) {
        if (!shape.find(*options.node))
            throw Exception(cliText(QT_TRANSLATE_NOOP("qacsemaf", "El plan %1 no tiene el nodo %2.")).arg(options.plan).arg(*options.node));
        const engine::NodeSuccession node = map.runNode(shape, *options.node, request);
        const engine::ResultTable &schema =
            options.gaps ? engine::nodeGapsTable() : engine::trafficLightTable();
        SuccessionMap::createTable(table, options.gaps ? engine::successionGapsTable() : schema);
        if (options.gaps)
            engine::fillGapRows(table, node.gaps, node.node);
        else
            engine::fillTrafficLightRows(table, node);
        options.output.write(table, schema);
        return 0;
    }

    const engine::SuccessionResult result = map.run(shape, request);
    QTextStream err(stderr);
    for (const engine::NodeSuccession &node : result.nodes)
        if (!node.error.isEmpty())
            err << "qacsemaf: " << cliText(QT_TRANSLATE_NOOP("qacsemaf", "nodo %1: %2")).arg(node.node).arg(node.error) << '\n';
    const engine::ResultTable &schema =
        options.gaps ? engine::successionGapsTable() : engine::successionSummaryTable();
    SuccessionMap::createTable(table, schema);
    if (options.gaps)
        engine::fillPlanGapRows(table, result);
    else
        engine::fillSummaryRows(table, result);
    options.output.write(table, schema);
    return 0;
}

} // namespace

int runSuccessionCommand(const QStringList &arguments)
{
    CommandLine line(arguments.value(0), cliText(QT_TRANSLATE_NOOP(
        "qacsemaf", "Mapa de Sucesión: genera el semáforo en cada nodo de un plan de carrera que tiene cargos "
                    "candidatos e imprime una fila por nodo, las brechas (--gaps) o las filas de un nodo (--node).")));
    addSuccessionOptions(line);
    try {
        line.parse(arguments);
        return succession(readOptions(line));
    } catch (const UsageError &error) {
        return reportUsageError(error, arguments.value(0));
    } catch (const Exception &error) {
        return reportFailure(error.Message());
    }
}
