#pragma once
// A run through the real main form (qacsemaf screenshot, and qacsemaf generate and report given
// --plan and --node): the common options and the plan node.

#include "tools/CommonOptions.h"
#include "tools/PlanNode.h"

class MainFormDriver;

struct FormRoadOptions {
    CommonOptions common;   // categories given: the traffic light is generated
    PlanNode node;
};

// The session options read from `line` beside the plan node; throws UsageError.
FormRoadOptions readFormRoadOptions(const CommandLine &line, const PlanNode &node);
// Proves the options' session with the server before the window opens, so that a refusal says
// the server's reason rather than what the window would make of it.
void proveFormRoadSession(const FormRoadOptions &options);
// Company, node, categories and the generation button, on the driver's form.
void runFormRoad(MainFormDriver &driver, const FormRoadOptions &options);
