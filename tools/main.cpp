// qacsemaf: the module's command line. The first argument names a sub-command; each one
// reads its own table of options (tools/CommandLine.h). This program links no widgets: the roads
// through the module's windows are run by the window program next to it (tools/WindowRoad.h),
// under the same command name. Messages are Spanish, English where the locale asks for it.

#include "tools/CommandTable.h"
#include "framework/PlatformNotices.h"
#include "framework/localtransport/LocalTransport.h"
#include "tools/AuditCommand.h"
#include "tools/BackupCommand.h"
#include "tools/GenerateCommand.h"
#include "tools/InitCommand.h"
#include "tools/MigrateCommand.h"
#include "tools/ReportCommand.h"
#include "tools/RestoreCommand.h"
#include "tools/SeedCommand.h"
#include "tools/SnapshotCommand.h"
#include "tools/SuccessionCommand.h"
#include "tools/Translations.h"
#include "tools/UserCommand.h"
#include "tools/WhatIfCommand.h"
#include "tools/WindowRoad.h"

#include <QGuiApplication>

#include <cstring>
#include <memory>

namespace {

// One line per command; a command without a run here is the window program's.
const CommandTable &commands()
{
    static const CommandTable table = {
        {QStringLiteral("generate"), {kGenerateSummary, runGenerateCommand}},
        {QStringLiteral("report"), {kReportSummary, runReportCommand}},
        {QStringLiteral("screenshot"), {kScreenshotSummary, nullptr}},
        {QStringLiteral("seed"), {kSeedSummary, runSeedCommand}},
        {QStringLiteral("backup"), {kBackupSummary, runBackupCommand}},
        {QStringLiteral("restore"), {kRestoreSummary, runRestoreCommand}},
        {QStringLiteral("init"), {kInitSummary, runInitCommand}},
        {QStringLiteral("migrate"), {kMigrateSummary, runMigrateCommand}},
        {QStringLiteral("user"), {kUserSummary, runUserCommand}},
        {QStringLiteral("audit"), {kAuditSummary, runAuditCommand}},
        {QStringLiteral("succession"), {kSuccessionSummary, runSuccessionCommand}},
        {QStringLiteral("snapshot"), {kSnapshotSummary, runSnapshotCommand}},
        {QStringLiteral("whatif"), {kWhatIfSummary, runWhatIfCommand}},
    };
    return table;
}

} // namespace

int main(int argc, char *argv[])
{
    quietPlatformNotices();
    if (needsWindowProgram(argc, argv)) {
        // Only for the message when the window program cannot be started, in the user's language.
        QCoreApplication app(argc, argv);
        loadTranslations();
        return runWindowProgram(argv);
    }
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
    loadTranslations();
    LocalTransport::install();   // --db and --pg run the server core in this process
    return runNamedCommand(commands(), QCoreApplication::arguments(), {}, [argv] { return runWindowProgram(argv); });
}
