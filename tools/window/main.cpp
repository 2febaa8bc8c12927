// qacsemaf-window: the roads of the command line that open the module's windows (offscreen
// unless a platform is named) or draw with the charting library. qacsemaf starts it in its own
// place for those commands, so it is run as "qacsemaf <command> ..." and answers as qacsemaf,
// in the same language.

#include "reportengine/widgets/ChartsPainter.h"
#include "framework/PlatformNotices.h"
#include "framework/QtTranslations.h"
#include "framework/localtransport/LocalTransport.h"
#include "tools/CommandTable.h"
#include "tools/GenerateCommand.h"
#include "tools/ReportCommand.h"
#include "tools/Translations.h"
#include "tools/WindowRoad.h"
#include "tools/window/GenerateOnFormCommand.h"
#include "tools/window/ScreenshotCommand.h"

#include <QApplication>

namespace {

int runReportWithCharts(const QStringList &arguments)
{
    // The competence report's chart is drawn with the charting library, as in the preview window.
    report::ChartsPainter::install();
    return runReportOnFormCommand(arguments);
}

const CommandTable &windowCommands()
{
    static const CommandTable table = {
        {QStringLiteral("generate"), {kGenerateSummary, runGenerateOnFormCommand}},
        {QStringLiteral("report"), {kReportSummary, runReportWithCharts}},
        {QStringLiteral("screenshot"), {kScreenshotSummary, runScreenshotCommand}},
    };
    return table;
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
    loadTranslations();
    loadQtSpanishTranslations();  // the module's windows and Qt's dialogs in them speak Spanish
    LocalTransport::install();    // --db and --pg run the server core in this process
    return runNamedCommand(windowCommands(), QCoreApplication::arguments(),
                           cliText(QT_TRANSLATE_NOOP("qacsemaf", "Los comandos de qacsemaf que abren las ventanas del "
                                                                 "módulo; qacsemaf inicia este programa para ellos.")));
}
