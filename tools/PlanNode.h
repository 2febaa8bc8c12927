#pragma once
// A run given by a node of a career plan (--plan M --node K) instead of by its positions
// (--target, --candidates): the real main form then moves to that node and generates there.
// Every command that generates takes both, and mixing them is refused by name.

#include "tools/CommandLine.h"

struct PlanNode {
    int plan = 0;
    int node = 0;
};

// --plan and --node.
void addPlanNodeOptions(CommandLine &line);
// Whether --plan or --node is given.
bool givesPlanNode(const CommandLine &line);
// Both numbers, and neither of `excluded` (names of options of the positions road) beside them;
// throws UsageError.
PlanNode readPlanNode(const CommandLine &line, const QStringList &excluded = {});
