#pragma once
// The sub-commands of a command-line program by name, and running the one its first argument
// names: both the headless program and the window program dispatch this way.

#include <QString>
#include <QStringList>

#include <functional>
#include <map>

class QTextStream;

struct Command {
    const char *summary;   // Spanish, marked with QT_TRANSLATE_NOOP("qacsemaf", ...); listed translated
    std::function<int(const QStringList &)> run;   // empty: another program runs it
};

using CommandTable = std::map<QString, Command>;

// Lists the table's commands, one a line, the summaries lined up after the longest name.
void listCommands(QTextStream &out, const CommandTable &table);

// The program's help: its usage line, `about` (may be empty) and the commands.
void printUsage(QTextStream &out, const CommandTable &table, const QString &about = {});

// Runs the command `arguments[1]` names with "qacsemaf <command>" as its program name; help
// ("help", "--help", "-h") and the version ("--version", "-v", "version") are printed with exit
// code 0; no command or an unknown name is a usage
// error (exit code 2). A command without its own run is handed to
// `elsewhere`.
int runNamedCommand(const CommandTable &table, QStringList arguments, const QString &about = {},
                    const std::function<int()> &elsewhere = {});
