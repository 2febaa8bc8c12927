#include "engine/WhatIfReading.h"

#include "engine/BatchedScorer.h"
#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"

#include <QMap>

#include <algorithm>

namespace engine {

WhatIfReading::WhatIfReading(const GenerationDataSets &dataSets, MaskFormatter formatter)
    : m_dataSets(dataSets),
      m_round(storedRounding(*trafficLightTable().field(resultfield::PorEmpl), std::move(formatter)))
{
}

EngineReads &WhatIfReading::reads() const
{
    if (!m_dataSets.reads)
        throw Exception(notConnectedMessage());
    return *m_dataSets.reads;
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
    for (const CompanyPosition &position : found.inputs.candidates) {
        if (contracts.contains(position.company) || (contractCompany && position.company != *contractCompany))
            continue;
        const CandidateEmployees employees = reads().holders({position});
        for (const CandidateEmployee &holder : employees)
            if (holder.codEmplValue == employee) {
                contracts.insert(position.company, {position, employees});
                break;
            }
    }
    const QString code = fieldconv::toText(employee);
    if (contracts.isEmpty())
        throw Exception(notACandidate(found, code, contractCompany));
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

// Why nobody of that code is a candidate: he is no employee of the companies asked about, or
// holds no candidate position of the node.
QString WhatIfReading::notACandidate(const WhatIfCandidate &found, const QString &code,
                                     std::optional<int> contractCompany)
{
    QList<int> companies;
    if (contractCompany)
        companies << *contractCompany;
    for (const CompanyPosition &position : found.inputs.candidates)
        if (!contractCompany && !companies.contains(position.company))
            companies << position.company;
    std::sort(companies.begin(), companies.end());
    QStringList names;
    for (const int company : std::as_const(companies)) {
        if (reads().employeeRegistered(company, code))
            return contractCompany
                       ? QStringLiteral("El empleado %1 no tiene contrato activo en un cargo candidato del nodo %2 "
                                        "en la empresa %3.")
                             .arg(code)
                             .arg(found.node)
                             .arg(company)
                       : QStringLiteral("El empleado %1 no es candidato en el nodo %2: no tiene contrato activo en "
                                        "sus cargos candidatos.")
                             .arg(code)
                             .arg(found.node);
        names << QString::number(company);
    }
    return QStringLiteral("El empleado %1 no existe en %2 %3.")
        .arg(code, names.size() == 1 ? QStringLiteral("la empresa") : QStringLiteral("las empresas"),
             names.join(QStringLiteral(", ")));
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
        for (const ProfileRow &row : reads().profile({inputs.target, alone})) {
            const QString type = fieldconv::toText(row.key.tipRegi).trimmed();
            if (!lists.contains(type))
                lists.insert(type, list);
        }
    }
    return lists;
}

} // namespace engine
