#include "BatchedScorer.h"

#include "DataSetRules.h"
#include "SClientDataSet.h"

#include "Exceptions.h"
#include "FieldConvert.h"
#include "SDCOMConnection.h"

#include <QLocale>

namespace engine {

namespace {

// The value the text of a code stands for once the server reads it back.
std::optional<double> textValue(const QString &text)
{
    // Up to fifteen digits are a whole number a double holds exactly (the usual code): read
    // without the locale's parser, which costs more than the rest of the check.
    if (!text.isEmpty() && text.size() <= 15) {
        qint64 whole = 0;
        bool digits = true;
        for (const QChar c : text) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                digits = false;
                break;
            }
            whole = whole * 10 + (c.unicode() - '0');
        }
        if (digits)
            return double(whole);
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

} // namespace

BatchedScorer::BatchedScorer(const GenerationDataSets &dataSets, const GenerationInputs &inputs)
    : m_dataSets(dataSets), m_inputs(inputs), m_categoryList(categoryList(inputs.categories))
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
    // a fraction without an exact decimal) needs the server's answer.
    QStringList texts;
    for (const CandidateEmployee &employee : employees) {
        if (textValue(employee.codEmplText) == std::optional<double>(employee.codEmplValue))
            continue;
        m_checked.insert(employee.codEmplValue);
        texts << employee.codEmplText;
    }
    if (texts.isEmpty())
        return;
    texts.removeDuplicates();
    SClientDataSet &found = openScratch(QStringLiteral("select COD_EMPL from BI_EMPLE where COD_EMPR = ")
                                        + QString::number(company) + QStringLiteral(" and COD_EMPL in (")
                                        + texts.join(QLatin1Char(',')) + QLatin1Char(')'));
    QSet<double> present;
    TField *code = found.FieldByName(QStringLiteral("COD_EMPL"));
    for (int row = 0; row < found.rowCount(); ++row)
        present.insert(found.rowValue(row, code).toDouble());
    for (const CandidateEmployee &employee : employees)
        if (m_checked.contains(employee.codEmplValue)) {
            const std::optional<double> value = textValue(employee.codEmplText);
            if (value && present.contains(*value))
                m_existing.insert(employee.codEmplValue);
        }
}

// The records of all holders of the position come from the server's providers for that read,
// whose statements are the category providers' own, widened to the holders. They are read from
// the server's answer as it arrives: they are only grouped by employee, so building dataset rows
// for them first would copy every value once more.
void BatchedScorer::readCategory(Category category, int company, const QString &position)
{
    static const char *const providers[] = {"DtsPBiDtpnfCargo", "DtsPBiDtpefCargo", "DtsPBidtphvCargo",
                                            "DtsPEd3dlccCargo"};
    const bool lines = category == Category::Competences;
    const appserver::FetchResult answer = m_dataSets.scratch->RemoteServer->Fetch(
        QLatin1String(providers[int(category)]), QString(),
        {{QStringLiteral("EMPRESA"), appserver::FieldType::Smallint, company},
         {QStringLiteral("CARGO"), appserver::FieldType::String, position}});
    const auto column = [&answer](const QString &name) {
        for (int i = 0; i < answer.fields.size(); ++i)
            if (answer.fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        throw EDatabaseError(QStringLiteral("CdsTemporal: campo '%1' no encontrado").arg(name));
    };
    const int code = column(QStringLiteral("COD_EMPL"));
    const int type = column(lines ? QStringLiteral("COD_REGI") : QStringLiteral("TIP_REGI"));
    const int requirement = column(QStringLiteral("COD_REQU"));
    const int detail = column(QStringLiteral("COD_ESPE"));
    const int obtained = column(QStringLiteral("PUN_OBTE"));
    // Each value as the scratch dataset's field would hold it (an empty text reads as null).
    const auto stored = [&answer](const QVariantList &row, int at) {
        const appserver::FieldDesc &field = answer.fields.at(at);
        return fieldconv::toStorage(row.at(at), field.type, field.size, field.name);
    };
    // Rows come ordered by employee: one look-up per employee, not per row, and each
    // employee's list is sized once for the run of rows that is theirs.
    const qsizetype count = answer.rows.size();
    for (qsizetype first = 0; first < count;) {
        const double employee = stored(answer.rows.at(first), code).toDouble();
        qsizetype end = first + 1;
        while (end < count && stored(answer.rows.at(end), code).toDouble() == employee)
            ++end;
        EmployeeRecords &records = m_records[employee];
        CategoryRecords &target = category == Category::NonFormal  ? records.nonFormal
                                : category == Category::Formal     ? records.formal
                                : category == Category::Experience ? records.experience
                                                                   : records.competences;
        target.reserve(target.size() + (end - first));
        for (; first < end; ++first) {
            const QVariantList &row = answer.rows.at(first);
            CategoryRecord record{{stored(row, requirement), stored(row, detail), stored(row, type)},
                                  stored(row, obtained)};
            record.key.prepare();
            target.append(std::move(record));
        }
    }
}

EmployeeScore BatchedScorer::score(const CandidateEmployee &employee)
{
    static const EmployeeRecords none;
    const auto found = m_records.constFind(employee.codEmplValue);
    const EmployeeRecords &records = found == m_records.constEnd() ? none : *found;
    if (!m_checked.contains(employee.codEmplValue))
        return scoreEmployee(*m_profile, records, m_inputs.categories, m_inputs.eduSinPuntos);
    EmployeeRecords checked = records;
    checked.exists = m_existing.contains(employee.codEmplValue);
    return scoreEmployee(*m_profile, checked, m_inputs.categories, m_inputs.eduSinPuntos);
}

} // namespace engine
