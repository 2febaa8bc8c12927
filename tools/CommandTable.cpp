#include "tools/CommandTable.h"

#include "framework/UserAction.h"
#include "tools/CommandLine.h"

#include <QCoreApplication>
#include <QTextStream>

void listCommands(QTextStream &out, const CommandTable &table)
{
    qsizetype width = 0;
    for (const auto &entry : table)
        width = qMax(width, entry.first.size());
    for (const auto &[name, command] : table)
        out << "  " << name.leftJustified(width + 2) << cliText(command.summary) << '\n';
}

void printUsage(QTextStream &out, const CommandTable &table, const QString &about)
{
    out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Uso: qacsemaf <comando> [opciones]")) << "\n\n";
    if (!about.isEmpty())
        out << about << "\n\n";
    out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Comandos:")) << '\n';
    listCommands(out, table);
    out << '\n'
        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Las opciones de un comando: \"qacsemaf <comando> --help\".")) << '\n'
        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "La versión: \"qacsemaf --version\".")) << '\n';
}

int runNamedCommand(const CommandTable &table, QStringList arguments, const QString &about,
                    const std::function<int()> &elsewhere)
{
    QTextStream out(stdout);
    if (arguments.size() < 2) {
        return reportUsageError(UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "falta el comando"))),
                                QStringLiteral("qacsemaf"));
    }
    const QString name = arguments.at(1);
    if (name == QLatin1String("help") || name == QLatin1String("--help") || name == QLatin1String("-h")) {
        printUsage(out, table, about);
        return 0;
    }
    if (name == QLatin1String("--version") || name == QLatin1String("-v") || name == QLatin1String("version")) {
        out << "qacsemaf " << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    const auto found = table.find(name);
    if (found == table.end()) {
        return reportUsageError(
            UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "comando desconocido \"%1\"")).arg(name)),
            QStringLiteral("qacsemaf"));
    }
    if (!found->second.run)
        return elsewhere();
    // The sub-command sees "qacsemaf seed" as its program name, whichever program runs it.
    arguments[0] = QStringLiteral("qacsemaf ") + name;
    arguments.removeAt(1);
    // One command is one user action: what it reads ahead it takes in the course of it.
    const UserAction::Scope action;
    return found->second.run(arguments);
}
