#pragma once
// The succession map of a whole plan in one batched pass over the reads it is handed: for
// every node with candidates (as the tree derives them) the traffic light that "Generación
// Semaforo" gives on that node, row for row, with its summary and gaps, and the plan's gaps.
// Each target's profile and each candidate position's holders are read once whatever the number
// of nodes naming them, and each category's records in one round trip for the holders of all
// candidate positions, grouped by the targets they stand under (each group's read keeps to the
// records those targets' profiles name; see HolderRecordGroups); each node then scores the
// records its own profile may match, as its own generation would read them.

#include "engine/CareerPlanShape.h"
#include "engine/EngineReads.h"
#include "engine/SuccessionResult.h"

#include <memory>

namespace engine {

class PlanSuccession {
public:
    // `formatter` rounds the percentages as the result table stores them.
    PlanSuccession(std::shared_ptr<EngineReads> reads, MaskFormatter formatter);
    ~PlanSuccession();

    // The plan's rows of company `company`, plan `plan` (header and nodes). Throws Exception when
    // the company has no such plan.
    CareerPlanShape readPlan(int company, int plan, QString *planName = nullptr);

    // Every node of `shape` with candidates. A node whose generation would stop with a message
    // (no category ticked, a company that is not a whole number) keeps that message in its
    // `error` and has no rows; a failed read throws.
    SuccessionResult run(const CareerPlanShape &shape, const SuccessionRequest &request);
    // One node the same way (its rows, summary and gaps); throws the message its generation
    // would stop with.
    NodeSuccession runNode(const CareerPlanShape &shape, int node, const SuccessionRequest &request);

private:
    class Pass;
    std::shared_ptr<EngineReads> m_reads;
    Rounding m_round;
};

} // namespace engine
