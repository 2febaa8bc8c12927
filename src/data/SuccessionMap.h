#pragma once
// The succession map of a plan through the data module: the plan's rows read in the company
// asked for, every node with candidates scored in one batched pass with the module's datasets
// and number formatter, exactly as "Generación Semaforo" scores a node. The window's page and
// the command line both go through it.

#include "engine/CareerPlanShape.h"
#include "engine/SuccessionResult.h"
#include "engine/WhatIfReading.h"

#include <optional>

class TClientDataSet;
class TDtmAcSemaf;

namespace engine {
struct ResultTable;
}

class SuccessionMap {
public:
    explicit SuccessionMap(TDtmAcSemaf &module);

    // The company's education-without-points flag (Q0000190 = "S"), as the window reads it when
    // the company is chosen. Throws Exception ("Error leyendo NEXOFLAG ...").
    bool companyEduSinPuntos();

    // The plan's tree; throws Exception when the company has no such plan.
    engine::CareerPlanShape readPlan(int company, int plan);
    // Every node with candidates; see engine::PlanSuccession::run.
    engine::SuccessionResult run(int company, int plan, const engine::SuccessionRequest &request);
    engine::SuccessionResult run(const engine::CareerPlanShape &shape, const engine::SuccessionRequest &request);
    // One node: its rows, summary and gaps; throws the message its generation would stop with.
    engine::NodeSuccession runNode(const engine::CareerPlanShape &shape, int node,
                                   const engine::SuccessionRequest &request);

    // What if a candidate of a node closed his gaps: his records and the node's profile read as
    // the generation reads them (see engine::WhatIfReading::read), his gaps named after
    // `namedGaps` (the node's gaps of a map), or after the node's gaps worked out anew.
    engine::WhatIfCandidate whatIf(const engine::CareerPlanShape &shape, int node,
                                   const engine::SuccessionRequest &request, double employee,
                                   std::optional<int> contractCompany = std::nullopt,
                                   const engine::RequirementGaps *namedGaps = nullptr);

    // Makes `dataSet` an empty open in-memory table with the fields of `table` (the summary, the
    // gaps or the traffic-light result table), in order, with their labels and formats; a dataset
    // that has its fields already keeps them.
    static void createTable(TClientDataSet &dataSet, const engine::ResultTable &table);

private:
    TDtmAcSemaf &m_module;
};
