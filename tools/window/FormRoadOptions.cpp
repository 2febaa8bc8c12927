#include "tools/window/FormRoadOptions.h"

#include "ui/MainFormDriver.h"
#include "framework/connection/SDCOMConnection.h"

#include <QCommandLineParser>

namespace {

int numberOption(const QCommandLineParser &parser, const char *name)
{
    bool isNumber = false;
    const int value = parser.value(QLatin1String(name)).toInt(&isNumber);
    if (!isNumber)
        throw UsageError(QStringLiteral("--%1: \"%2\" is not a number").arg(QLatin1String(name), parser.value(QLatin1String(name))));
    return value;
}

} // namespace

void addFormRoadOptions(QCommandLineParser &parser)
{
    CommonOptions::addTo(parser);
    parser.addOptions({
        {QStringLiteral("plan"), QStringLiteral("Career plan."), QStringLiteral("m")},
        {QStringLiteral("node"), QStringLiteral("Node of the plan whose tree node is selected."), QStringLiteral("k")},
    });
}

FormRoadOptions readFormRoadOptions(QCommandLineParser &parser, const QStringList &arguments)
{
    CommonOptions::parse(parser, arguments);
    for (const char *required : {"company", "plan", "node"})
        if (!parser.isSet(QLatin1String(required)))
            throw UsageError(QStringLiteral("--%1 is required").arg(QLatin1String(required)));
    FormRoadOptions options;
    options.common = CommonOptions::read(parser);
    options.plan = numberOption(parser, "plan");
    options.node = numberOption(parser, "node");
    return options;
}

void startFormRoadSession(const FormRoadOptions &options)
{
    options.common.startSession();
    SDCOMConnection connection;
    options.common.proveSession(connection);
}

void runFormRoad(MainFormDriver &driver, const FormRoadOptions &options)
{
    driver.chooseCompany(options.common.company);
    driver.goToNode(options.plan, options.node);
    if (!options.common.categoriesGiven)
        return;
    driver.tickCategories(options.common.categories);
    driver.pressGenerate();
}
