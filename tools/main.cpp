// qacsemaf: the module's command line. The first argument names a sub-command; each one
// parses its own options.

#include "tools/GenerateCommand.h"
#include "tools/GenerateOnFormCommand.h"
#include "tools/ReportCommand.h"
#include "tools/ScreenshotCommand.h"
#include "tools/SeedCommand.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <functional>
#include <map>
#include <memory>
#include <cstring>

namespace {

struct Command {
    QString summary;
    std::function<int(const QStringList &)> run;
};

const std::map<QString, Command> &commands()
{
    static const std::map<QString, Command> table = {
        {QStringLiteral("generate"),
         {QStringLiteral("run the traffic-light generation headless and print the result"), runGenerateCommand}},
        {QStringLiteral("report"),
         {QStringLiteral("run the generation headless and write the list report or an employee's competence "
                         "report (PDF, XLSX, DOCX)"),
          runReportCommand}},
        {QStringLiteral("screenshot"),
         {QStringLiteral("open the main form on a plan node, generate and save a picture of a page"),
          runScreenshotCommand}},
        {QStringLiteral("seed"),
         {QStringLiteral("create the demo database or a large synthetic company"), runSeedCommand}},
    };
    return table;
}

int usage(QTextStream &out, int exitCode)
{
    out << "Usage: qacsemaf <command> [options]\n\nCommands:\n";
    for (const auto &[name, command] : commands())
        out << "  " << name.leftJustified(10) << command.summary << '\n';
    out << "\nRun 'qacsemaf <command> --help' for the options of a command.\n";
    return exitCode;
}

} // namespace

int main(int argc, char *argv[])
{
    // Reports paint text, which needs Qt's GUI side (fonts) but never a display; the road through
    // the main form (a screenshot, or a generation given a plan node) needs its widgets too.
    bool windows = argc > 1 && std::strcmp(argv[1], "screenshot") == 0;
    // The competence report's chart is drawn with the charting library, which needs widgets.
    windows = windows || (argc > 2 && std::strcmp(argv[1], "report") == 0 && std::strcmp(argv[2], "competence") == 0);
    for (int i = 2; i < argc && argc > 1 && std::strcmp(argv[1], "generate") == 0; ++i)
        windows = windows || std::strcmp(argv[i], "--plan") == 0 || std::strncmp(argv[i], "--plan=", 7) == 0;
    const bool paints = windows || (argc > 1 && std::strcmp(argv[1], "report") == 0);
    if (paints && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (windows)
        app = std::make_unique<QApplication>(argc, argv);
    else if (paints)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qacsemaf"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QACSEMAF_VERSION));
    QStringList arguments = QCoreApplication::arguments();
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (arguments.size() < 2)
        return usage(err, 2);
    const QString name = arguments.at(1);
    if (name == QLatin1String("help") || name == QLatin1String("--help") || name == QLatin1String("-h"))
        return usage(out, 0);
    const auto found = commands().find(name);
    if (found == commands().end()) {
        err << "qacsemaf: unknown command \"" << name << "\"\n\n";
        return usage(err, 2);
    }
    // The sub-command sees "qacsemaf seed" as its program name.
    arguments[0] += QLatin1Char(' ') + name;
    arguments.removeAt(1);
    if (windows && name == QLatin1String("generate"))
        return runGenerateOnFormCommand(arguments);
    return found->second.run(arguments);
}
