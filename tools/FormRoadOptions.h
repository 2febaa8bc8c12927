#pragma once
// The options of a run through the real main form (qacsemaf screenshot, and qacsemaf generate
// with --plan and --node): the common ones and the plan node.

#include "CommonOptions.h"

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
// Company, node, categories and the generation button, on the driver's form.
void runFormRoad(MainFormDriver &driver, const FormRoadOptions &options);
