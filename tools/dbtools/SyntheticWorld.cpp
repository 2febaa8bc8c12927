#include "tools/dbtools/SyntheticWorld.h"

#include "tools/dbtools/CommonTables.h"
#include "tools/dbtools/DemoRandom.h"
#include "tools/dbtools/SeedWriter.h"

namespace dbtools {

namespace {

const int companyCode = 1;
const int recordsPerEmployee = 20;

QString areaName(const QString &area)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("FIN"), QStringLiteral("Finanzas")},
        {QStringLiteral("COM"), QStringLiteral("Ventas")},
        {QStringLiteral("GH"), QStringLiteral("Talento Humano")},
        {QStringLiteral("ADM"), QStringLiteral("Administración")},
        {QStringLiteral("PRO"), QStringLiteral("Producción")},
        {QStringLiteral("MAN"), QStringLiteral("Mantenimiento")},
        {QStringLiteral("CAL"), QStringLiteral("Calidad")},
        {QStringLiteral("LOG"), QStringLiteral("Logística")},
        {QStringLiteral("TIE"), QStringLiteral("Tiendas")}};
    return names.value(area);
}

} // namespace

SyntheticWorld::SyntheticWorld(SeedWriter &writer, DemoRandom &random, int employees)
    : m_writer(writer), m_random(random), m_employeeCount(employees),
      m_positionCount(positionCount(employees)), m_employees(writer, random), m_planner(random)
{
}

int SyntheticWorld::positionCount(int employees)
{
    return qBound(8, employees / 40, 250);
}

QString SyntheticWorld::positionCode(int index)
{
    return QStringLiteral("S%1").arg(index, 5, 10, QLatin1Char('0'));
}

void SyntheticWorld::build()
{
    writeReferenceData();
    writePositionsAndPlan();
    for (int i = 0; i < m_employeeCount; ++i)
        writeEmployee(i);
}

void SyntheticWorld::writeReferenceData()
{
    CommonTables::writeCountries(m_writer);
    CommonTables::writeUsers(m_writer);
    CommonTables::writePrograms(m_writer);
    const CompanyInfo company{companyCode, QStringLiteral("Empresa Sintética de Pruebas S.A."),
                              900555444, QStringLiteral("1"), QStringLiteral("Calle 100 # 19-61, Bogotá D.C."),
                              QStringLiteral("(601) 600 0000"), 170, QStringLiteral("N"), false,
                              QStringLiteral("M"), 1300000, 162000};
    CommonTables::writeCompany(m_writer, company, {});
    CommonTables::writeGrants(m_writer, {companyCode}, {companyCode});
    CommonTables::writeLevels(m_writer, companyCode);
    CommonTables::writeCatalogue(m_writer, companyCode);
    CommonTables::writeFlag(m_writer, QStringLiteral("Q0000190"), 170, companyCode, QStringLiteral("N"),
                            QStringLiteral("Educación sin puntos"));
}

void SyntheticWorld::writePositionsAndPlan()
{
    QList<PlanNodeInfo> nodes;
    const QStringList areas = DemoCatalog::areas();
    for (int i = 0; i < m_positionCount; ++i) {
        const QString area = areas.at(i % areas.size());
        const QString level = i == 0 ? QStringLiteral("01") : QStringLiteral("0%1").arg(2 + i % 5);
        const QString name = i == 0 ? QStringLiteral("Director General")
                                    : QStringLiteral("%1 de %2 %3").arg(DemoCatalog::levelName(level),
                                                                       areaName(area)).arg(i);
        const PositionInfo position{companyCode, positionCode(i), name, level, area, true, 0};
        // The top position asks for several rows of every category; the others follow their area.
        const QList<ProfileRow> profile = i == 0
            ? ProfileBuilder::drawn(m_random, {{QStringLiteral("FO"), 2}, {QStringLiteral("PG"), 1},
                                               {QStringLiteral("CU"), 3}, {QStringLiteral("SE"), 1},
                                               {QStringLiteral("EX"), 2}, {QStringLiteral("CO"), 3},
                                               {QStringLiteral("CF"), 2}, {QStringLiteral("CE"), 2}},
                                    level)
            : ProfileBuilder::forPosition(area, level);
        if (i == 0) {
            m_topProfile = profile;
            // The rows of the top profile every employee is given a record for (competences
            // go to evaluations instead).
            for (const ProfileRow &row : profile) {
                const QString category = DemoCatalog::recordType(row.recordType)->category;
                if (DemoCatalog::recordTable(category) != QLatin1String("ED_D3CCO"))
                    ++m_topRecordCount;
            }
        }
        m_positions << position;
        CommonTables::writePosition(m_writer, position, profile);
        nodes << PlanNodeInfo{i + 1, i == 0 ? 0 : 1, companyCode, position.code, QStringLiteral("2"),
                              QStringLiteral("0"), name};
    }
    CommonTables::writePlan(m_writer, companyCode, 1, QStringLiteral("Plan sintético"), nodes);
}

void SyntheticWorld::writeEmployee(int ordinal)
{
    // The first employee holds the top position; the rest are dealt round the positions below.
    const int index = ordinal == 0 ? 0 : 1 + (ordinal - 1) % (m_positionCount - 1);
    const PositionInfo &position = m_positions.at(index);
    const PersonInfo person = m_employees.newPerson(companyCode);
    m_employees.writePerson(person);
    const QDate start = QDate(2008, 1, 1).addDays(m_random.bounded(15 * 365));
    int contract = 1;
    if (m_random.chance(0.1)) {
        const PositionInfo &earlier = m_positions.at(m_random.bounded(m_positionCount));
        m_employees.writeContract(person, contract++, earlier.code, false, start.addYears(-2),
                                  start.addDays(-1), CommonTables::salaryFor(earlier.level));
    }
    m_employees.writeContract(person, contract, position.code, true, start, QDate(),
                              CommonTables::salaryFor(position.level));

    const EmployeeRecords records =
        m_planner.plan(m_topProfile, m_planner.drawBand(), recordsPerEmployee - m_topRecordCount);
    m_employees.writeRecords(person, records);
    m_employees.writeEvaluations(person, records, {QDate(2023, 6, 1), QDate(2024, 6, 4)}, QVariant());
}

} // namespace dbtools
