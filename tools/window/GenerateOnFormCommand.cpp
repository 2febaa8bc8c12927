#include "tools/window/GenerateOnFormCommand.h"

#include "data/DAcSemaf.h"
#include "framework/dataset/TDataSet.h"
#include "reports/ReportKinds.h"
#include "tools/ReportCommand.h"
#include "tools/window/FormRoadOptions.h"
#include "ui/MainFormDriver.h"

#include <QTextStream>

namespace {

// The session and node of the run; the generation needs its categories.
FormRoadOptions readGeneratingRoad(const CommandLine &line, const PlanNode &node)
{
    line.require(QStringLiteral("company"));
    line.require(QStringLiteral("categories"));
    return readFormRoadOptions(line, node);
}

int generateOnForm(const CommandLine &line, const PlanNode &node, const OutputOptions &output)
{
    const FormRoadOptions options = readGeneratingRoad(line, node);
    proveFormRoadSession(options);
    MainFormDriver driver(options.common.session());
    runFormRoad(driver, options);
    TDataSet &result = driver.result();
    result.AfterScroll = nullptr;   // printing walks the rows; the positions page is not shown
    output.write(result);
    return 0;
}

int reportOnForm(const CommandLine &line, const PlanNode &node, const ReportOptions &report)
{
    const FormRoadOptions options = readGeneratingRoad(line, node);
    proveFormRoadSession(options);
    MainFormDriver driver(options.common.session());
    runFormRoad(driver, options);
    // The form has made itself the data module's form and opened the company's header, as for
    // its own report buttons.
    QTextStream out(stdout);
    writeReport(report, ReportData{*DtmAcSemaf}, out);
    return 0;
}

} // namespace

int runGenerateOnFormCommand(const QStringList &arguments)
{
    return runGenerateCommandWith(arguments, generateOnForm);
}

int runReportOnFormCommand(const QStringList &arguments)
{
    return runReportCommandWith(arguments, reportOnForm);
}
