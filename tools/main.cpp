// qacsemaf: the module's command line. The first argument names a sub-command; each one
// parses its own options. This program links no widgets: the roads through the module's windows
// are run by the window program next to it (tools/WindowRoad.h), under the same command name.

#include "tools/CommandTable.h"
#include "framework/PlatformNotices.h"
#include "tools/GenerateCommand.h"
#include "tools/ReportCommand.h"
#include "tools/SeedCommand.h"
#include "tools/SuccessionCommand.h"
#include "tools/WindowRoad.h"

#include <QGuiApplication>
#include <QTextStream>

#include <cstring>
#include <memory>

namespace {

const CommandTable &commands()
{
    static const CommandTable table = {
        {QStringLiteral("generate"),
         {QStringLiteral("run the traffic-light generation headless and print the result"), runGenerateCommand}},
        {QStringLiteral("report"),
         {QStringLiteral("run the generation headless and write the list report or an employee's competence "
                         "report (PDF, XLSX, DOCX)"),
          runReportCommand}},
        {QStringLiteral("screenshot"),
         {QStringLiteral("open the main form on a plan node, generate and save a picture of a page"), nullptr}},
        {QStringLiteral("seed"),
         {QStringLiteral("create the demo database or a large synthetic company"), runSeedCommand}},
        {QStringLiteral("succession"),
         {QStringLiteral("the succession map of a whole plan: per node its candidates by band and the best one, "
                         "the gaps (--gaps) or one node's rows (--node)"),
          runSuccessionCommand}},
    };
    return table;
}

int usage(QTextStream &out, int exitCode)
{
    out << "Usage: qacsemaf <command> [options]\n\nCommands:\n";
    listCommands(out, commands());
    out << "\nRun 'qacsemaf <command> --help' for the options of a command.\n";
    return exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    quietPlatformNotices();
    if (needsWindowProgram(argc, argv))
        return runWindowProgram(argv);
    // Reports paint text, which needs Qt's GUI side (fonts) but never a display.
    const bool paints = argc > 1 && std::strcmp(argv[1], "report") == 0;
    if (paints && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (paints)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qacsemaf"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QACSEMAF_VERSION));
    return runNamedCommand(commands(), QCoreApplication::arguments(), usage, [argv] { return runWindowProgram(argv); });
}
