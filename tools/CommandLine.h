#pragma once
// One sub-command's command line, made from a single table of options: the parser reads exactly
// the options its help lists, the help opens with the usage line that names the sub-command, and
// every refusal is a UsageError (the command prints it and ends with exit code 2) raised while
// the arguments are read, before the command opens a database or writes anything.
//
//   CommandLine line(arguments.value(0), cliText("Crea la base de demostración."));
//   line.add({{QStringLiteral("db"), cliText("Archivo SQLite."), cliText("archivo")}});
//   line.parse(arguments);                       // --help: prints help() and ends with 0
//   line.refuseTogether(QStringLiteral("plan"), QStringLiteral("target"));
//   const int employees = line.number(QStringLiteral("employees"), 1);
//
// Texts are written in Spanish and go through the catalogue main() loads (tools/Translations.h):
// mark a table's texts with QT_TRANSLATE_NOOP("qacsemaf", ...) and hand them to cliText().

#include "tools/UsageError.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

#include <climits>

// A text of the command line in the user's language.
inline QString cliText(const char *spanish)
{
    return QCoreApplication::translate("qacsemaf", spanish);
}

class CommandLine {
public:
    // `program` is how the command is called ("qacsemaf generate", "qacsemaf report list").
    CommandLine(QString program, QString description);

    void add(const QList<QCommandLineOption> &options);
    // The command takes up to `most` arguments besides its options, named by `synopsis` in the
    // usage line ("Uso: qacsemaf user add NOMBRE [opciones]"); without this call it takes none.
    void takeArguments(const QString &synopsis, int most);
    // Every option of the table, --help first.
    const QList<QCommandLineOption> &options() const { return m_options; }

    // "Uso: qacsemaf generate [opciones]".
    QString usageLine() const;
    // The usage line, the description and one line per option with its value and default.
    QString help() const;

    // Reads `arguments` (the program name first). --help prints the help to standard output and
    // ends the process with 0; unknown options, missing values and loose arguments throw.
    void parse(const QStringList &arguments);

    bool isSet(const QString &name) const { return m_parser.isSet(name); }
    QString value(const QString &name) const { return m_parser.value(name); }
    // Every value of an option that may be given more than once.
    QStringList values(const QString &name) const { return m_parser.values(name); }
    // The arguments given besides the options (at most as many as takeArguments allows).
    QStringList arguments() const { return m_parser.positionalArguments(); }

    // Throws "falta --NAME" when the option is not given.
    void require(const QString &name) const;
    // Throws "--ONE no se puede usar con --OTHER" when both are given.
    void refuseTogether(const QString &one, const QString &other) const;
    // The option's value as a whole number of at least `minimum`; throws otherwise.
    int number(const QString &name, int minimum = INT_MIN) const;
    // Every value of an option given more than once, each as number() reads it.
    QList<int> numbers(const QString &name, int minimum = INT_MIN) const;
    // The option's value, lower-cased, when it is one of `choices`; throws naming them otherwise.
    QString choice(const QString &name, const QStringList &choices) const;
    // Throws when the option names a file whose folder does not exist (nothing given: fine).
    void requireFolderOf(const QString &name) const;
    // Throws when the option names no file that exists.
    void requireExistingFile(const QString &name) const;
    // Throws when the option names a file that exists already, or one whose folder does not.
    void requireNewFile(const QString &name) const;

private:
    QString m_program;
    QString m_description;
    QString m_synopsis;
    int m_mostArguments = 0;
    QList<QCommandLineOption> m_options;
    QCommandLineParser m_parser;
};

// Prints a usage error as the command line prints every message ("qacsemaf: ..."), with the way to
// the command's help, and returns 2.
int reportUsageError(const UsageError &error, const QString &program);
// Prints a refusal or failure of the work itself and returns 1.
int reportFailure(const QString &message);
