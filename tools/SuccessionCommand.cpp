#include "tools/SuccessionCommand.h"

#include "data/DAcSemaf.h"
#include "data/HeadlessWorkstation.h"
#include "data/SuccessionMap.h"
#include "engine/SuccessionSchema.h"
#include "framework/Exceptions.h"
#include "tools/CommonOptions.h"
#include "tools/OutputOptions.h"

#include <QCommandLineParser>
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

int wholeNumber(const QCommandLineParser &parser, const QString &option)
{
    bool isNumber = false;
    const int value = parser.value(option).toInt(&isNumber);
    if (!isNumber)
        throw UsageError(QStringLiteral("--%1: \"%2\" is not a number").arg(option, parser.value(option)));
    return value;
}

SuccessionOptions readOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Mapa de Sucesión: runs the traffic-light generation on every node of a career plan that has candidate "
        "positions and prints one summary row per node, the gaps (--gaps) or one node's rows (--node)."));
    CommonOptions::addTo(parser);
    parser.addOptions({
        {QStringLiteral("plan"), QStringLiteral("The career plan (COD_MENU)."), QStringLiteral("number")},
        {QStringLiteral("node"), QStringLiteral("Only this node: its traffic-light rows, or with --gaps its gaps."),
         QStringLiteral("number")},
        {QStringLiteral("gaps"), QStringLiteral("Prints the requirements the candidates fall short of (Brechas): "
                                                "the whole plan's, or the node's with --node.")},
        {QStringLiteral("edu-sin-puntos"), QStringLiteral("Education without points: auto (the company's flag), on, off."),
         QStringLiteral("mode"), QStringLiteral("auto")},
    });
    OutputOptions::addTo(parser);
    CommonOptions::parse(parser, arguments);
    for (const char *required : {"company", "plan", "categories"})
        if (!parser.isSet(QLatin1String(required)))
            throw UsageError(QStringLiteral("--%1 is required").arg(QLatin1String(required)));
    SuccessionOptions options;
    options.common = CommonOptions::read(parser);
    options.output = OutputOptions::read(parser);
    options.plan = wholeNumber(parser, QStringLiteral("plan"));
    if (parser.isSet(QStringLiteral("node")))
        options.node = wholeNumber(parser, QStringLiteral("node"));
    options.gaps = parser.isSet(QStringLiteral("gaps"));
    options.flag = parser.value(QStringLiteral("edu-sin-puntos")).toLower();
    if (!QStringList{"auto", "on", "off"}.contains(options.flag))
        throw UsageError(QStringLiteral("--edu-sin-puntos: use auto, on or off"));
    return options;
}

// Prints what was asked for from one headless workstation.
int succession(const SuccessionOptions &options)
{
    options.common.startSession();
    HeadlessWorkstation workstation;
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
            throw Exception(QStringLiteral("El plan %1 no tiene el nodo %2.").arg(options.plan).arg(*options.node));
        const engine::NodeSuccession node = map.runNode(shape, *options.node, request);
        const engine::ResultTable &schema =
            options.gaps ? engine::successionGapsTable() : engine::trafficLightTable();
        SuccessionMap::createTable(table, schema);
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
            err << QStringLiteral("Nodo %1: %2").arg(node.node).arg(node.error) << '\n';
    const engine::ResultTable &schema =
        options.gaps ? engine::successionGapsTable() : engine::successionSummaryTable();
    SuccessionMap::createTable(table, schema);
    if (options.gaps)
        engine::fillGapRows(table, result.planGaps);
    else
        engine::fillSummaryRows(table, result);
    options.output.write(table, schema);
    return 0;
}

} // namespace

int runSuccessionCommand(const QStringList &arguments)
{
    QTextStream err(stderr);
    try {
        return succession(readOptions(arguments));
    } catch (const UsageError &error) {
        err << "qacsemaf succession: " << error.message() << '\n';
        return 2;
    } catch (const Exception &error) {
        err << error.Message() << '\n';
        return 1;
    }
}
