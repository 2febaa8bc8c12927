#pragma once
// The options of a run through the real main form (qacsemaf screenshot, and qacsemaf generate
// with --plan and --node): the common ones and the plan node.

#include "tools/CommonOptions.h"

class MainFormDriver;
class QCommandLineParser;

struct FormRoadOptions {
    CommonOptions common;   // categories given: the traffic light is generated
    int plan = 0;
    int node = 0;
};

void addFormRoadOptions(QCommandLineParser &parser);
// Parses and checks the options (help printed and exit 0 for --help); throws UsageError.
FormRoadOptions readFormRoadOptions(QCommandLineParser &parser, const QStringList &arguments);
// The session globals for the options, proved with the server before the window opens, so that
// its status shows the database driver the server names whichever the way to it.
void startFormRoadSession(const FormRoadOptions &options);
// Company, node, categories and the generation button, on the driver's form.
void runFormRoad(MainFormDriver &driver, const FormRoadOptions &options);
