#pragma once
// qacsemaf generate: runs the module's traffic-light generation headless on an SQLite file for
// one target position and its candidate positions, and prints the result table (a coloured
// table, JSON or CSV). The options and the run are shared with the commands that print the
// result in other ways (qacsemaf report).

#include "GenerationInputs.h"

#include <QStringList>

class QCommandLineParser;
class TDtmAcSemaf;

// `arguments` start with the program name ("qacsemaf generate"). Returns the process exit code.
int runGenerateCommand(const QStringList &arguments);

// A bad command line; the message says which option is wrong.
class UsageError : public std::exception {
public:
    explicit UsageError(QString message) : m_message(std::move(message)) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

class SDCOMConnection;

struct GenerateOptions {
    QString protocol = QStringLiteral("local");  // local (--db), pgsql (--pg), http (--server)
    QString server;                             // pgsql and http: host:port
    QString file;                               // the connection's alias: file, or database name
    int company = 0;
    QString user;
    QString password;
    QList<QPair<QString, QString>> positions; // target first, then the candidates (code, company)
    engine::GenerationInputs inputs;
    QString flag;     // auto, on, off
};

// The options of a generation run: database, company, target, candidates, categories, user.
void addGenerateOptions(QCommandLineParser &parser);
// Parses `arguments` (help printed and exit 0 for --help); throws UsageError.
void parseCommandLine(QCommandLineParser &parser, const QStringList &arguments);
GenerateOptions readGenerateOptions(const QCommandLineParser &parser);
// Session globals and current company for the run, as the load call leaves them.
void startGenerateSession(const GenerateOptions &options);
// Proves the session and its company as the load call does, and that every position given
// exists (all that do not are named at once); throws Exception.
void checkGenerateInputs(const GenerateOptions &options, SDCOMConnection &connection);
// Fills the data module's result table through the routine the main window's "Generación
// Semaforo" runs.
void runGeneration(GenerateOptions &options, TDtmAcSemaf &module);
