#include "engine/BatchedScorer.h"

#include "engine/DataSetRules.h"
#include "engine/HolderRecordsSink.h"
#include "framework/dataset/SClientDataSet.h"

#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"
#include "framework/connection/SDCOMConnection.h"

namespace engine {

BatchedScorer::BatchedScorer(const GenerationDataSets &dataSets, const GenerationInputs &inputs, Rounding round)
    : m_dataSets(dataSets), m_inputs(inputs), m_round(std::move(round)), m_categoryList(categoryList(inputs.categories))
{
}

SClientDataSet &BatchedScorer::openScratch(const QString &statement)
{
    SClientDataSet &scratch = *m_dataSets.scratch;
    scratch.Close();
    scratch.setCommandText(QString());
    scratch.setCommandText(statement);
    scratch.Open();
    return scratch;
}

void BatchedScorer::readProfile()
{
    SClientDataSet &profile = *m_dataSets.profile;
    profile.Close();
    profile.setSQL({});
    profile.setCommandText(profileStatement(m_categoryList));
    profile.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(m_inputs.target.company);
    profile.ParamByName(QStringLiteral("P_COD_CARG"))->setAsString(m_inputs.target.code);
    profile.Open();
    Profile rows;
    rows.reserve(profile.RecordCount());
    for (profile.First(); !profile.Eof(); profile.Next()) {
        rows.append(profileRowAt(profile));
        rows.last().key.prepare();
    }
    m_profile = rows;
    m_profileKeys.emplace(*m_profile);
}

void BatchedScorer::beginPosition(const CompanyPosition &position, const CandidateEmployees &employees)
{
    m_records.clear();
    m_existing.clear();
    m_checked.clear();
    if (employees.isEmpty())
        return;
    m_records.reserve(employees.size());
    const int companyCode = position.company;
    if (!m_profile)
        readProfile();
    if (m_profile->isEmpty())
        return;
    readExisting(companyCode, employees);
    const Categories &ticked = m_inputs.categories;
    if (ticked.eduNo)
        readCategory(Category::NonFormal, companyCode, position.code);
    if (ticked.eduFor)
        readCategory(Category::Formal, companyCode, position.code);
    if (ticked.expe)
        readCategory(Category::Experience, companyCode, position.code);
    if (ticked.compe)
        readCategory(Category::Competences, companyCode, position.code);
}

void BatchedScorer::readExisting(int company, const CandidateEmployees &employees)
{
    // The employee statement joined the contract to its employee row, so a code that reads back
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
        SClientDataSet &found = openScratch(QStringLiteral("SELECT COUNT(*) CONTADOR FROM BI_EMPLE where COD_EMPR = ")
                                            + QString::number(company) + QStringLiteral(" and COD_EMPL = ")
                                            + employee.codEmplText);
        if (found.FieldByName(QStringLiteral("CONTADOR"))->AsInteger() > 0)
            m_existing.insert(employee.codEmplValue);
    }
}

// The records of all holders of the position come from the server's providers for that read,
// whose statements are the category providers' own, widened to the holders. They are taken
// as the server reads them: building the rows of an answer first would copy every value once more.
void BatchedScorer::readCategory(Category category, int company, const QString &position)
{
    static const char *const providers[] = {"DtsPBiDtpnfCargo", "DtsPBiDtpefCargo", "DtsPBidtphvCargo",
                                            "DtsPEd3dlccCargo"};
    static CategoryRecords EmployeeRecords::*const lists[] = {&EmployeeRecords::nonFormal, &EmployeeRecords::formal,
                                                              &EmployeeRecords::experience,
                                                              &EmployeeRecords::competences};
    HolderRecordsSink sink(m_records, lists[int(category)], category == Category::Competences, *m_profileKeys);
    m_dataSets.scratch->RemoteServer->FetchEach(
        QLatin1String(providers[int(category)]), QString(),
        {{QStringLiteral("EMPRESA"), protocol::FieldType::Smallint, company},
         {QStringLiteral("CARGO"), protocol::FieldType::String, position}},
        sink);
}

EmployeeScore BatchedScorer::score(const CandidateEmployee &employee)
{
    static const EmployeeRecords none;
    const auto found = m_records.constFind(employee.codEmplValue);
    const EmployeeRecords &records = found == m_records.constEnd() ? none : *found;
    if (!m_checked.contains(employee.codEmplValue))
        return scoreEmployee(*m_profile, records, m_inputs.categories, m_inputs.eduSinPuntos, m_round);
    EmployeeRecords checked = records;
    checked.exists = m_existing.contains(employee.codEmplValue);
    return scoreEmployee(*m_profile, checked, m_inputs.categories, m_inputs.eduSinPuntos, m_round);
}

} // namespace engine
