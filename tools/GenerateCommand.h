#pragma once
// qacsemaf generate: runs the module's traffic-light generation headless for one target position
// and its candidate positions, and prints the result table (a coloured table, JSON or CSV) or
// writes it to a file (those, or an XLSX worksheet). The options and the run are shared with the
// commands that print the result in other ways (qacsemaf report).

#include "tools/CommonOptions.h"
#include "engine/GenerationInputs.h"

#include <QStringList>

class QCommandLineParser;
class SDCOMConnection;
class TDtmAcSemaf;

// `arguments` start with the program name ("qacsemaf generate"). Returns the process exit code.
int runGenerateCommand(const QStringList &arguments);

struct GenerateOptions {
    CommonOptions common;
    engine::GenerationInputs inputs;
    QString flag;     // auto, on, off
};

// The options of a generation run: the common ones, target, candidates and the flag.
void addGenerateOptions(QCommandLineParser &parser);
GenerateOptions readGenerateOptions(const QCommandLineParser &parser);
// Session globals and current company for the run, as the load call leaves them.
void startGenerateSession(const GenerateOptions &options);
// Proves the session and its company as the load call does, and that every position given
// exists (all that do not are named at once); throws Exception.
void checkGenerateInputs(const GenerateOptions &options, SDCOMConnection &connection);
// Fills the data module's result table through the routine the main window's "Generación
// Semaforo" runs.
void runGeneration(GenerateOptions &options, TDtmAcSemaf &module);
