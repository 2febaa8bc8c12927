#include "tools/CommandTable.h"

#include <QTextStream>

void listCommands(QTextStream &out, const CommandTable &table)
{
    qsizetype width = 0;
    for (const auto &entry : table)
        width = qMax(width, entry.first.size());
    for (const auto &[name, command] : table)
        out << "  " << name.leftJustified(width + 2) << command.summary << '\n';
}

int runNamedCommand(const CommandTable &table, QStringList arguments,
                    const std::function<int(QTextStream &, int)> &usage, const std::function<int()> &elsewhere)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (arguments.size() < 2)
        return usage(err, 2);
    const QString name = arguments.at(1);
    if (name == QLatin1String("help") || name == QLatin1String("--help") || name == QLatin1String("-h"))
        return usage(out, 0);
    const auto found = table.find(name);
    if (found == table.end()) {
        err << "qacsemaf: unknown command \"" << name << "\"\n\n";
        return usage(err, 2);
    }
    if (!found->second.run)
        return elsewhere ? elsewhere() : usage(err, 2);
    // The sub-command sees "qacsemaf seed" as its program name.
    arguments[0] += QLatin1Char(' ') + name;
    arguments.removeAt(1);
    return found->second.run(arguments);
}
