#include "data/SuccessionMap.h"

#include "data/DAcSemaf.h"
#include "data/DataModuleCatalog.h"
#include "engine/PlanSuccession.h"
#include "framework/Exceptions.h"
#include "framework/dataset/TClientDataSet.h"

namespace {

engine::GenerationDataSets connectedDataSets(TDtmAcSemaf &module)
{
    const engine::GenerationDataSets dataSets = module.DatosGeneracion();
    if (!dataSets.reads)
        throw Exception(engine::notConnectedMessage());
    return dataSets;
}

engine::PlanSuccession planSuccession(TDtmAcSemaf &module)
{
    return engine::PlanSuccession(connectedDataSets(module).reads, TDtmAcSemaf::FormateadorSuite());
}

} // namespace

SuccessionMap::SuccessionMap(TDtmAcSemaf &module) : m_module(module)
{
}

bool SuccessionMap::companyEduSinPuntos()
{
    return m_module.VerNexoFlags(QStringLiteral("Q0000190")).toString() == QLatin1String("S");
}

engine::CareerPlanShape SuccessionMap::readPlan(int company, int plan)
{
    return planSuccession(m_module).readPlan(company, plan);
}

engine::SuccessionResult SuccessionMap::run(int company, int plan, const engine::SuccessionRequest &request)
{
    return run(readPlan(company, plan), request);
}

engine::SuccessionResult SuccessionMap::run(const engine::CareerPlanShape &shape,
                                            const engine::SuccessionRequest &request)
{
    return planSuccession(m_module).run(shape, request);
}

engine::NodeSuccession SuccessionMap::runNode(const engine::CareerPlanShape &shape, int node,
                                              const engine::SuccessionRequest &request)
{
    return planSuccession(m_module).runNode(shape, node, request);
}

engine::WhatIfCandidate SuccessionMap::whatIf(const engine::CareerPlanShape &shape, int node,
                                              const engine::SuccessionRequest &request, double employee,
                                              std::optional<int> contractCompany,
                                              const engine::RequirementGaps *namedGaps)
{
    engine::WhatIfCandidate candidate = engine::WhatIfReading(connectedDataSets(m_module), TDtmAcSemaf::FormateadorSuite())
                                            .read(shape, node, request, employee, contractCompany);
    candidate.whatIf.name(namedGaps ? *namedGaps : runNode(shape, node, request).gaps);
    return candidate;
}

void SuccessionMap::createTable(TClientDataSet &dataSet, const engine::ResultTable &table)
{
    if (dataSet.Active())
        dataSet.Close();
    if (dataSet.Fields().isEmpty())
        DataModuleCatalog::defineResultFields(dataSet, table);
    dataSet.CreateDataSet();
}
