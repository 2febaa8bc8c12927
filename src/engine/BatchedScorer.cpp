#include "engine/BatchedScorer.h"

#include <algorithm>

namespace engine {

BatchedScorer::BatchedScorer(const GenerationDataSets &dataSets, const GenerationInputs &inputs, Rounding round,
                             qsizetype holdersPerRead)
    : m_dataSets(dataSets), m_inputs(inputs), m_round(std::move(round)), m_holdersPerRead(holdersPerRead)
{
}

void BatchedScorer::readProfile()
{
    m_profile = reads().profile({m_inputs.target, m_inputs.categories});
    m_profileKeys.emplace(*m_profile);
}

void BatchedScorer::beginPosition(const CompanyPosition &position, const CandidateEmployees &employees)
{
    m_current = nullptr;
    m_existing.clear();
    m_checked.clear();
    if (employees.isEmpty())
        return;
    const int companyCode = position.company;
    if (!m_profile)
        readProfile();
    if (m_profile->isEmpty())
        return;
    readExisting(companyCode, employees);
    LoadedRecords &loaded = m_records[companyCode];
    if (!loaded.positions.contains(position.code))
        readRecords(companyCode, position.code, employees.size(), loaded);
    m_current = &loaded.byEmployee;
}

void BatchedScorer::readExisting(int company, const CandidateEmployees &employees)
{
    // The holders' read joined the contract to its employee row, so a code that reads back
    // as itself exists; only a code whose text names another value (more than fifteen digits,
    // a fraction without an exact decimal) needs the server's answer. Such codes are rare: each
    // is asked with the module's own count of an employee, as the step-by-step run asks it.
    for (const CandidateEmployee &employee : employees) {
        const std::optional<double> value = valueOfCodeText(employee.codEmplText);
        if (value == std::optional<double>(employee.codEmplValue) || m_checked.contains(employee.codEmplValue))
            continue;
        m_checked.insert(employee.codEmplValue);
        if (!value)
            continue;
        if (reads().employeeRegistered(company, employee.codEmplText))
            m_existing.insert(employee.codEmplValue);
    }
}

// The records of the holders of the company's candidate positions from `from` on, in list order,
// as many positions as m_holdersPerRead holders allow when each has as many as `from` (at least
// that one): a position's holders' records are those of its employees, whichever other positions
// are read with it. The group read before for the company is dropped first.
void BatchedScorer::readRecords(int company, const QString &from, qsizetype holders, LoadedRecords &loaded)
{
    const qsizetype most = std::max<qsizetype>(1, m_holdersPerRead / std::max<qsizetype>(1, holders));
    QStringList positions;
    for (const CompanyPosition &candidate : m_inputs.candidates) {
        if (candidate.company != company || (positions.isEmpty() && candidate.code != from)
            || positions.contains(candidate.code))
            continue;
        positions << candidate.code;
        if (positions.size() == most)
            break;
    }
    loaded.byEmployee = {};
    loaded.positions = positions;
    const HolderRecordsQuery query{company, positions, m_inputs.categories, CompanyPositions{m_inputs.target}};
    const qsizetype groupHolders = std::min(holders * positions.size(), m_holdersPerRead);
    // The categories' reads of a group of ordinary size go in one round trip; a large group
    // streams each read instead of holding its answer whole.
    if (groupHolders <= kHoldersReadAhead)
        reads().readAhead({query});
    reads().holderRecords(query, *m_profileKeys, groupHolders, loaded.byEmployee);
}

const Profile &BatchedScorer::profile() const
{
    static const Profile none;
    return m_profile ? *m_profile : none;
}

EmployeeRecords BatchedScorer::records(const CandidateEmployee &employee) const
{
    EmployeeRecords records;
    if (m_current) {
        const auto found = m_current->constFind(employee.codEmplValue);
        if (found != m_current->constEnd())
            records = *found;
    }
    if (m_checked.contains(employee.codEmplValue))
        records.exists = m_existing.contains(employee.codEmplValue);
    return records;
}

EmployeeScore BatchedScorer::score(const CandidateEmployee &employee)
{
    // The records by reference where they need no change: this runs for every holder.
    static const EmployeeRecords none;
    const EmployeeRecords *held = &none;
    if (m_current) {
        const auto found = m_current->constFind(employee.codEmplValue);
        if (found != m_current->constEnd())
            held = &*found;
    }
    if (!m_checked.contains(employee.codEmplValue))
        return scoreEmployee(*m_profile, *held, m_inputs.categories, m_inputs.eduSinPuntos, m_round);
    return scoreEmployee(*m_profile, records(employee), m_inputs.categories, m_inputs.eduSinPuntos, m_round);
}

} // namespace engine
