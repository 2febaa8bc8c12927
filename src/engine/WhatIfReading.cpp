#include "engine/WhatIfReading.h"

#include "engine/BatchedScorer.h"
#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"
#include "framework/dataset/SClientDataSet.h"

#include <QMap>

namespace engine {

WhatIfReading::WhatIfReading(const GenerationDataSets &dataSets, MaskFormatter formatter)
    : m_dataSets(dataSets),
      m_round(storedRounding(*trafficLightTable().field(resultfield::PorEmpl), std::move(formatter)))
{
}

WhatIfCandidate WhatIfReading::read(const CareerPlanShape &shape, int node, const SuccessionRequest &request,
                                    double employee, std::optional<int> contractCompany)
{
    WhatIfCandidate found;
    found.node = node;
    found.inputs = shape.inputs(node, request.categories, request.eduSinPuntos);
    checkGenerationInputs(found.inputs);
    // The first contract of each company he holds a candidate position in, in the generation's order.
    QMap<int, std::pair<CompanyPosition, CandidateEmployees>> contracts;
    SClientDataSet &holders = *m_dataSets.scratch;
    for (const CompanyPosition &position : found.inputs.candidates) {
        if (contracts.contains(position.company) || (contractCompany && position.company != *contractCompany))
            continue;
        holders.Close();
        useHoldersStatement(m_dataSets, holders, position);
        holders.Open();
        const CandidateEmployees employees = readCandidates(holders);
        for (const CandidateEmployee &holder : employees)
            if (holder.codEmplValue == employee) {
                contracts.insert(position.company, {position, employees});
                break;
            }
    }
    const QString code = fieldconv::toText(employee);
    if (contracts.isEmpty())
        throw Exception(
            contractCompany
                ? QStringLiteral("El empleado %1 no tiene contrato activo en la empresa %2 en un cargo candidato del nodo %3.")
                      .arg(code)
                      .arg(*contractCompany)
                      .arg(node)
                : QStringLiteral("El empleado %1 no es candidato en el nodo %2: no tiene contrato activo en sus cargos "
                                 "candidatos.")
                      .arg(code)
                      .arg(node));
    if (contracts.size() > 1) {
        QStringList companies;
        for (const int company : contracts.keys())
            companies << QString::number(company);
        throw Exception(QStringLiteral("El empleado %1 tiene contratos candidatos del nodo %2 en las empresas %3: "
                                       "indique la empresa del contrato.")
                            .arg(code)
                            .arg(node)
                            .arg(companies.join(QStringLiteral(", "))));
    }
    const auto &[position, employees] = contracts.first();
    found.position = position;
    for (const CandidateEmployee &holder : employees)
        if (holder.codEmplValue == employee) {
            found.employee = holder;
            break;
        }
    BatchedScorer scorer(m_dataSets, found.inputs, m_round);
    scorer.beginPosition(position, employees);
    found.whatIf = CandidateWhatIf(found.inputs.target.company, scorer.profile(), scorer.records(found.employee),
                                   request.categories, request.eduSinPuntos, m_round, listsOfTypes(found.inputs));
    return found;
}

// The profile read again for each ticked box alone: the record types it brings are those whose
// records the generation walks in that box's list.
QHash<QString, RecordList> WhatIfReading::listsOfTypes(const GenerationInputs &inputs)
{
    const QList<std::pair<bool Categories::*, RecordList>> boxes{{&Categories::eduNo, RecordList::NonFormal},
                                                                 {&Categories::eduFor, RecordList::Formal},
                                                                 {&Categories::expe, RecordList::Experience},
                                                                 {&Categories::compe, RecordList::Competences}};
    QHash<QString, RecordList> lists;
    for (const auto &[box, list] : boxes) {
        if (!(inputs.categories.*box))
            continue;
        Categories alone;
        alone.*box = true;
        for (const ProfileRow &row : readTargetProfile(m_dataSets, categoryCodes(alone), inputs.target)) {
            const QString type = fieldconv::toText(row.key.tipRegi).trimmed();
            if (!lists.contains(type))
                lists.insert(type, list);
        }
    }
    return lists;
}

} // namespace engine
