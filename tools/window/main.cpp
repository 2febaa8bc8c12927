// qacsemaf-window: the roads of the command line that open the module's windows (offscreen
// unless a platform is named) or draw with the charting library. qacsemaf starts it in its own
// place for those commands, so it is run as "qacsemaf <command> ..." and answers as qacsemaf.

#include "reportengine/widgets/ChartsPainter.h"
#include "framework/PlatformNotices.h"
#include "tools/CommandTable.h"
#include "tools/ReportCommand.h"
#include "tools/window/GenerateOnFormCommand.h"
#include "tools/window/ScreenshotCommand.h"

#include <QApplication>
#include <QTextStream>

namespace {

int runReportWithCharts(const QStringList &arguments)
{
    // The competence report's chart is drawn with the charting library, as in the preview window.
    report::ChartsPainter::install();
    return runReportCommand(arguments);
}

const CommandTable &windowCommands()
{
    static const CommandTable table = {
        {QStringLiteral("generate"),
         {QStringLiteral("open the main form on a plan node (--plan, --node), generate and print the result"),
          runGenerateOnFormCommand}},
        {QStringLiteral("report"),
         {QStringLiteral("write a report, its charts drawn by the charting library"), runReportWithCharts}},
        {QStringLiteral("screenshot"),
         {QStringLiteral("open the main form on a plan node, generate and save a picture of a page"),
          runScreenshotCommand}},
    };
    return table;
}

int windowUsage(QTextStream &out, int exitCode)
{
    out << "Usage: qacsemaf <command> [options]\n\n"
           "The commands of qacsemaf that open the module's windows; qacsemaf starts this program for them.\n\n"
           "Commands:\n";
    listCommands(out, windowCommands());
    return exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    quietPlatformNotices();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qacsemaf"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QACSEMAF_VERSION));
    return runNamedCommand(windowCommands(), QCoreApplication::arguments(), windowUsage);
}
