#include "tools/window/FormRoadOptions.h"

#include "ui/MainFormDriver.h"
#include "framework/connection/SDCOMConnection.h"

FormRoadOptions readFormRoadOptions(const CommandLine &line, const PlanNode &node)
{
    return {CommonOptions::read(line), node};
}

void proveFormRoadSession(const FormRoadOptions &options)
{
    SDCOMConnection connection;
    options.common.proveSession(connection);
}

void runFormRoad(MainFormDriver &driver, const FormRoadOptions &options)
{
    driver.chooseCompany(options.common.company);
    driver.goToNode(options.node.plan, options.node.node);
    if (!options.common.categoriesGiven)
        return;
    driver.tickCategories(options.common.categories);
    driver.pressGenerate();
}
