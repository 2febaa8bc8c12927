#pragma once
// qacsemaf generate: runs the module's traffic-light generation headless for one target position
// and its candidate positions, and prints the result table (a coloured table, JSON or CSV) or
// writes it to a file (those, or an XLSX worksheet). Given a plan node (--plan, --node) the run
// goes through the main form in the window program, with the same option table and output. The
// options and the run are shared with the commands that print the result in other ways
// (qacsemaf report).

#include "tools/CommonOptions.h"
#include "tools/OutputOptions.h"
#include "tools/PlanNode.h"
#include "tools/ResultPrinter.h"
#include "engine/GenerationInputs.h"

#include <QStringList>

#include <functional>

// The line of the command list.
inline constexpr char kGenerateSummary[] =
    QT_TRANSLATE_NOOP("qacsemaf", "genera el semáforo sin ventanas e imprime o escribe la tabla del resultado");

class SDCOMConnection;
class TDataSet;
class TDtmAcSemaf;

struct GenerateOptions {
    CommonOptions common;
    engine::GenerationInputs inputs;
    QString flag;     // auto, on, off
};

// The run on a plan node, handed the read command line; returns the exit code. Only the window
// program, which opens the main form, has one.
using GenerateOnPlanNode = std::function<int(const CommandLine &, const PlanNode &, const OutputOptions &)>;

// `arguments` start with the program name ("qacsemaf generate"). Every argument is checked before
// the run; returns the process exit code.
int runGenerateCommand(const QStringList &arguments);
// The same with the run on a plan node.
int runGenerateCommandWith(const QStringList &arguments, const GenerateOnPlanNode &onPlanNode);

// The options of a generation run: the common ones, target, candidates, the flag and the plan node.
void addGenerateOptions(CommandLine &line);
// The whole table of qacsemaf generate: the run's options and the output's.
void addGenerateCommandOptions(CommandLine &line);
// The options of the positions road that a plan node excludes.
QStringList positionOptions();
// The run by positions (no --plan, --node); throws UsageError.
GenerateOptions readGenerateOptions(const CommandLine &line);
// Proves the session and its company as the load call does, and that every position given
// exists (all that do not are named at once); throws Exception.
void checkGenerateInputs(const GenerateOptions &options, SDCOMConnection &connection);
// Fills the data module's result table through the routine the main window's "Generación
// Semaforo" runs.
void runGeneration(GenerateOptions &options, TDtmAcSemaf &module);
