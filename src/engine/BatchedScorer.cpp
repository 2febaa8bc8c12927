#include "BatchedScorer.h"

#include "DataSetRules.h"
#include "SClientDataSet.h"

#include <QLocale>

namespace engine {

namespace {

// Active contracts of the position; an employee with two of them is listed once.
QString holders(int company, const QString &position)
{
    return QStringLiteral("select a.COD_EMPL from NM_CONTR a where a.COD_EMPR = %1"
                          " and a.COD_CARG = '%2' and a.IND_ACTI = 'A'")
        .arg(company).arg(position);
}

// The category datasets' own selection, for every holder at once, in each employee's order.
QString recordsStatement(const char *table, int company, const QString &position)
{
    return QStringLiteral("select r.COD_EMPL, r.TIP_REGI, r.COD_REQU, r.COD_ESPE, r.PUN_OBTE"
                          " from %1 r where r.COD_EMPR = %2 and r.COD_EMPL in (%3)"
                          " order by r.COD_EMPL, r.NUM_REGI")
        .arg(QLatin1String(table)).arg(company).arg(holders(company, position));
}

// The lines of each holder's latest evaluation (every evaluation of that date). The holders are
// named for the evaluations too, so that the server reaches them through their index.
QString linesStatement(int company, const QString &position)
{
    return QStringLiteral("select C.COD_EMPL, D.COD_REGI, D.COD_REQU, D.COD_ESPE, D.PUN_OBTE"
                          " from (select X.COD_EMPL LAST_EMPL, max(X.FEC_DESD) LAST_DATE from ED_3CCOM X"
                          " where X.COD_EMPR = %1 and X.COD_EMPL in (%2) group by X.COD_EMPL) L,"
                          " ED_3CCOM C, ED_D3CCO D"
                          " where C.COD_EMPR = %1 and C.COD_EMPL in (%2)"
                          " and C.COD_EMPL = L.LAST_EMPL and C.FEC_DESD = L.LAST_DATE"
                          " and D.COD_EMPR = C.COD_EMPR and D.RMT_3CCO = C.RMT_3CCO"
                          " order by C.COD_EMPL, C.RMT_3CCO, D.NUM_LINE")
        .arg(company).arg(holders(company, position));
}

// The value the text of a code stands for once the server reads it back.
std::optional<double> textValue(const QString &text)
{
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
    profile.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(companyNumber(m_inputs.empreAspira));
    profile.ParamByName(QStringLiteral("P_COD_CARG"))->setAsString(m_inputs.cargoAspira);
    profile.Open();
    Profile rows;
    rows.reserve(profile.RecordCount());
    for (profile.First(); !profile.Eof(); profile.Next())
        rows.append(profileRowAt(profile));
    m_profile = rows;
}

void BatchedScorer::beginPosition(const QString &company, const QString &position,
                                  const CandidateEmployees &employees)
{
    m_records.clear();
    m_existing.clear();
    m_checked.clear();
    if (employees.isEmpty())
        return;
    // Converted where the first employee's evaluation would convert them.
    const int companyCode = companyNumber(company);
    if (!m_profile)
        readProfile();
    if (m_profile->isEmpty())
        return;
    readExisting(company, employees);
    const Categories &ticked = m_inputs.categories;
    if (ticked.eduNo)
        readCategory(Category::NonFormal, companyCode, position);
    if (ticked.eduFor)
        readCategory(Category::Formal, companyCode, position);
    if (ticked.expe)
        readCategory(Category::Experience, companyCode, position);
    if (ticked.compe)
        readCategory(Category::Competences, companyCode, position);
}

void BatchedScorer::readExisting(const QString &company, const CandidateEmployees &employees)
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
                                        + company + QStringLiteral(" and COD_EMPL in (")
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

void BatchedScorer::readCategory(Category category, int company, const QString &position)
{
    static const char *const tables[] = {"BI_DTPNF", "BI_DTPEF", "BI_DTPHV"};
    const bool lines = category == Category::Competences;
    SClientDataSet &scratch = openScratch(lines ? linesStatement(company, position)
                                                : recordsStatement(tables[int(category)], company, position));
    TField *code = scratch.FieldByName(QStringLiteral("COD_EMPL"));
    TField *type = scratch.FieldByName(lines ? QStringLiteral("COD_REGI") : QStringLiteral("TIP_REGI"));
    TField *requirement = scratch.FieldByName(QStringLiteral("COD_REQU"));
    TField *detail = scratch.FieldByName(QStringLiteral("COD_ESPE"));
    TField *obtained = scratch.FieldByName(QStringLiteral("PUN_OBTE"));
    for (int row = 0; row < scratch.rowCount(); ++row) {
        EmployeeRecords &records = m_records[scratch.rowValue(row, code).toDouble()];
        CategoryRecords &target = category == Category::NonFormal ? records.nonFormal
                                : category == Category::Formal    ? records.formal
                                : category == Category::Experience ? records.experience
                                                                   : records.competences;
        target.append({{scratch.rowValue(row, requirement), scratch.rowValue(row, detail),
                        scratch.rowValue(row, type)},
                       scratch.rowValue(row, obtained)});
    }
}

EmployeeScore BatchedScorer::score(const CandidateEmployee &employee)
{
    static const EmployeeRecords none;
    const auto found = m_records.constFind(employee.codEmplValue);
    EmployeeRecords records = found == m_records.constEnd() ? none : *found;
    if (m_checked.contains(employee.codEmplValue))
        records.exists = m_existing.contains(employee.codEmplValue);
    return scoreEmployee(*m_profile, records, m_inputs.categories, m_inputs.eduSinPuntos);
}

} // namespace engine
