// qacsemaf: the module's command line. The first argument names a sub-command; each one
// parses its own options.

#include "GenerateCommand.h"
#include "SeedCommand.h"

#include <QCoreApplication>
#include <QTextStream>

#include <functional>
#include <map>

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
    QCoreApplication app(argc, argv);
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
    return found->second.run(arguments);
}
