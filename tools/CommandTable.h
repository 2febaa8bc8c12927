#pragma once
// The sub-commands of a command-line program by name, and running the one its first argument
// names: both the headless program and the window program dispatch this way.

#include <QString>
#include <QStringList>

#include <functional>
#include <map>

class QTextStream;

struct Command {
    QString summary;
    std::function<int(const QStringList &)> run;   // empty: another program runs it
};

using CommandTable = std::map<QString, Command>;

// Lists the table's commands, one a line, the summaries lined up after the longest name.
void listCommands(QTextStream &out, const CommandTable &table);

// Runs the command `arguments[1]` names with "<program> <command>" as its program name; help
// (no command, "help", "--help", "-h") goes through `usage` with exit code 0, or 2 when no command
// was given or the name is unknown. A command without its own run is handed to `elsewhere`.
int runNamedCommand(const CommandTable &table, QStringList arguments,
                    const std::function<int(QTextStream &, int)> &usage, const std::function<int()> &elsewhere = {});
