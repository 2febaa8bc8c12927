#include "tests/data/support/LiteralScorer.h"

#include "data/StatementCatalog.h"
#include "engine/DataSetRules.h"
#include "framework/dataset/FieldConvert.h"
#include "framework/dataset/SClientDataSet.h"

using namespace engine;

LiteralScorer::LiteralScorer(const GenerationDataSets &dataSets, const GenerationInputs &inputs, Rounding round)
    : m_dataSets(dataSets), m_inputs(inputs), m_round(std::move(round)), m_categories(categoryCodes(inputs.categories))
{
}

ScorerFactory LiteralScorer::factory()
{
    return [](const GenerationDataSets &dataSets, const GenerationInputs &inputs, const Rounding &round) {
        return std::make_unique<LiteralScorer>(dataSets, inputs, round);
    };
}

void LiteralScorer::beginPosition(const CompanyPosition &position, const CandidateEmployees &)
{
    m_company = position.company;
}

void LiteralScorer::openRecords(SClientDataSet *dataSet, const CandidateEmployee &employee)
{
    dataSet->Close();
    dataSet->ParamByName(QStringLiteral("COD_EMPR"))->setAsSmallInt(m_company);
    dataSet->ParamByName(QStringLiteral("COD_EMPL"))->setAsFloat(employee.codEmplValue);
    dataSet->Open();
}

void LiteralScorer::openProfile()
{
    SClientDataSet *profile = m_dataSets.profile;
    profile->Close();
    StatementCatalog::module().use(*profile, QStringLiteral("PerfilCargoCategorias"),
                                   {{QStringLiteral("categorias"), m_categories}});
    profile->ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(m_inputs.target.company);
    profile->ParamByName(QStringLiteral("P_COD_CARG"))->setAsString(m_inputs.target.code);
    profile->Open();
}

bool LiteralScorer::employeeExists(const CandidateEmployee &employee)
{
    SClientDataSet *count = m_dataSets.employeeCount;
    count->Close();
    StatementCatalog::module().use(*count, QStringLiteral("EmpleadoRegistrado"),
                                   {{QStringLiteral("empresa"), m_company}, {QStringLiteral("empleado"), employee.codEmplText}});
    count->Open();
    return count->FieldByName(QStringLiteral("CONTADOR"))->AsInteger() > 0;
}

void LiteralScorer::addObtained(const CandidateEmployee &employee, long double &obtained)
{
    for (SClientDataSet *records : {m_dataSets.nonFormal, m_dataSets.formal, m_dataSets.experience}) {
        openRecords(records, employee);
        records->First();
    }
    TDataSet &profile = *m_dataSets.profile;
    const Categories &ticked = m_inputs.categories;
    if (ticked.eduNo)
        sumarPuntosEducacion(profile, *m_dataSets.nonFormal, m_inputs.eduSinPuntos, obtained);
    if (ticked.eduFor)
        sumarPuntosEducacion(profile, *m_dataSets.formal, m_inputs.eduSinPuntos, obtained);
    if (ticked.expe)
        sumarPuntosExperiencia(profile, *m_dataSets.experience, obtained);
    if (ticked.compe) {
        for (SClientDataSet *dataSet : {m_dataSets.evaluations, m_dataSets.evaluationLines}) {
            dataSet->Close();
            dataSet->ParamByName(QStringLiteral("CODEMPR"))->setAsSmallInt(m_company);
            dataSet->ParamByName(QStringLiteral("CODEMPL"))->setAsVariant(employee.codEmpl);
            dataSet->Open();
        }
        sumarPuntosCompetencias(profile, *m_dataSets.evaluationLines, obtained);
    }
}

EmployeeScore LiteralScorer::score(const CandidateEmployee &employee)
{
    EmployeeScore score;
    for (SClientDataSet *records : {m_dataSets.nonFormal, m_dataSets.formal, m_dataSets.experience})
        openRecords(records, employee);
    openProfile();
    SClientDataSet *profile = m_dataSets.profile;
    score.profileCount = quint16(profile->RecordCount());
    QString previousType;
    qint16 previousRequirement = -1;
    profile->First();
    while (!profile->Eof()) {
        if (employeeExists(employee))
            addObtained(employee, score.obtained);
        const long double required = points(profile->FieldByName(QStringLiteral("PUN_REQU"))->AsVariant());
        if (!m_inputs.eduSinPuntos) {
            score.required += required;
        } else {
            const QString type = profile->FieldByName(QStringLiteral("TIP_REGI"))->AsString();
            const int requirement = profile->FieldByName(QStringLiteral("COD_REQU"))->AsInteger();
            if (type != previousType || requirement != previousRequirement) {
                previousType = type;
                previousRequirement = qint16(requirement);
                score.required += required;
            }
        }
        profile->Next();
    }
    score.percentage = compliancePercentage(score.obtained, score.required, m_round);
    return score;
}
