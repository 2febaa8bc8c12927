#include "tools/dbtools/DemoWorld.h"

#include "tools/dbtools/CommonTables.h"
#include "tools/dbtools/DemoRandom.h"
#include "tools/dbtools/LogoImage.h"
#include "tools/dbtools/SeedWriter.h"

namespace dbtools {

namespace {

const QList<Band> firstBands = {Band::Green, Band::Yellow, Band::Red};

} // namespace

DemoWorld::DemoWorld(SeedWriter &writer, DemoRandom &random)
    : m_writer(writer), m_random(random), m_employees(writer, random), m_planner(random)
{
}

void DemoWorld::build()
{
    writeReferenceData();
    writePositions();
    writePlans();
    writeEmployees();
    writeReplacements();
    writeTemplateCompany();
}

void DemoWorld::writeReferenceData()
{
    CommonTables::writeCountries(m_writer);
    CommonTables::writeUsers(m_writer);
    CommonTables::writePrograms(m_writer);
    QList<int> codes;
    for (const CompanyInfo &company : DemoCatalog::companies())
        codes << company.code;
    // CONSULTA reads company 3 alone, which belongs to no group.
    CommonTables::writeGrants(m_writer, codes, {3});
    for (const CompanyInfo &company : DemoCatalog::companies()) {
        CommonTables::writeCompany(m_writer, company,
                                   company.hasLogo ? LogoImage::png() : QByteArray());
        CommonTables::writeLevels(m_writer, company.code);
        CommonTables::writeCatalogue(m_writer, company.code);
    }
    const QString noPoints = QStringLiteral("Educación sin puntos");
    CommonTables::writeFlag(m_writer, QStringLiteral("Q0000190"), 170, 1, QStringLiteral("N"), noPoints);
    CommonTables::writeFlag(m_writer, QStringLiteral("Q0000190"), 170, 2, QStringLiteral("S"), noPoints);
    CommonTables::writeFlag(m_writer, QStringLiteral("Q0000205"), 218, 3, QStringLiteral("30"),
                            QStringLiteral("Días de vigencia de una evaluación abierta"));
}

QList<ProfileRow> DemoWorld::profileFor(const PositionInfo &position) const
{
    QList<ProfileRow> rows = ProfileBuilder::forPosition(position.area, position.level);
    if (position.company == 1 && position.code == QLatin1String("DIR001")) {
        // A requirement without required points: it earns nothing through the records.
        for (ProfileRow &row : rows) {
            if (row.recordType == QLatin1String("SE"))
                row.points = QVariant();
        }
    }
    if (position.company == 2 && position.code == QLatin1String("JPR001")) {
        // One requirement in three details, counted once under education without points.
        const RequirementInfo *english = DemoCatalog::requirement(QStringLiteral("CU"), 305);
        const QList<double> points = {4, 6, 8};
        for (int i = 0; i < english->espes.size(); ++i) {
            ProfileRow row = ProfileBuilder::row(*english, english->espes.at(i).code);
            row.points = points.at(i);
            rows << row;
        }
    }
    return rows;
}

void DemoWorld::writePositions()
{
    for (const PositionInfo &position : DemoCatalog::positions()) {
        const QList<ProfileRow> profile = profileFor(position);
        m_profiles.insert({position.company, position.code}, profile);
        CommonTables::writePosition(m_writer, position, profile);
    }
}

void DemoWorld::writePlans()
{
    // A note and an alert on the first plan of company 1, as an analyst leaves them.
    m_writer.insert(QStringLiteral("GN_NOTAS"),
                    {QStringLiteral("FrmAcSemaf"), 1, QStringLiteral("1"), 1, QStringLiteral("N"),
                     QStringLiteral("Plan revisado con el área de talento humano."), QStringLiteral("ANALISTA"),
                     CommonTables::auditTime(45)});
    m_writer.insert(QStringLiteral("GN_NOTAS"),
                    {QStringLiteral("FrmAcSemaf"), 1, QStringLiteral("1"), 2, QStringLiteral("A"),
                     QStringLiteral("La jefatura de logística queda vacante en junio."), QStringLiteral("ADMIN"),
                     CommonTables::auditTime(50)});
    for (const PlanInfo &plan : DemoCatalog::plans()) {
        CommonTables::writePlan(m_writer, plan.company, plan.plan, plan.name, plan.nodes);
        for (const PlanNodeInfo &node : plan.nodes) {
            for (const PlanNodeInfo &parent : plan.nodes) {
                if (parent.node != node.parent)
                    continue;
                QList<PositionKey> &targets = m_targets[{node.positionCompany, node.position}];
                const PositionKey target{parent.positionCompany, parent.position};
                if (!targets.contains(target))
                    targets << target;
            }
        }
    }
}

QList<ProfileRow> DemoWorld::targetProfile(const PositionKey &position) const
{
    const QList<PositionKey> targets = m_targets.value(position);
    if (targets.isEmpty())
        return m_profiles.value(position);
    QList<ProfileRow> rows;
    for (const PositionKey &target : targets)
        rows << m_profiles.value(target);
    return rows;
}

QList<QDate> DemoWorld::evaluationDates(int ordinal)
{
    if (ordinal % 23 == 22)
        return {};   // never evaluated
    QList<QDate> dates = {QDate(2022, 6, 1), QDate(2023, 6, 1)};
    if (ordinal % 4 == 0)
        dates << QDate(2024, 6, 4);
    return dates;
}

QVariant DemoWorld::evaluatorFor(int company) const
{
    for (const PositionInfo &position : DemoCatalog::positions()) {
        if (position.company != company || position.level != QLatin1String("01"))
            continue;
        const QList<PersonInfo> managers = m_holders.value({company, position.code});
        return managers.isEmpty() ? QVariant() : QVariant(managers.first().id);
    }
    return {};
}

void DemoWorld::writeHolder(const PersonInfo &person, const PositionInfo &position, Band band)
{
    m_employees.writePerson(person);
    const QDate start = QDate(2008, 1, 1).addDays(m_random.bounded(15 * 365));
    int contract = 1;
    if (m_random.chance(0.2)) {
        // Promoted: an earlier contract in another position of the company, now closed.
        QList<const PositionInfo *> others;
        for (const PositionInfo &other : DemoCatalog::positions()) {
            if (other.company == position.company && other.active && other.code != position.code)
                others << &other;
        }
        const PositionInfo *earlier = m_random.pick(others);
        m_employees.writeContract(person, contract++, earlier->code, false, start.addYears(-3),
                                  start.addDays(-1), CommonTables::salaryFor(earlier->level));
    }
    const QVariant evaluator = evaluatorFor(position.company);
    m_employees.writeContract(person, contract, position.code, true, start, QDate(),
                              CommonTables::salaryFor(position.level));
    m_lastContract.insert(qint64(person.id), contract);
    const PositionKey key{position.company, position.code};
    m_holders[key] << person;
    const EmployeeRecords records = m_planner.plan(targetProfile(key), band, m_random.between(3, 6));
    m_employees.writeRecords(person, records);
    m_employees.writeEvaluations(person, records, evaluationDates(m_ordinal++), evaluator);
}

void DemoWorld::writePositionHolders(const PositionInfo &position)
{
    const QList<PersonInfo> fixed = m_fixedHolders.value({position.company, position.code});
    for (int i = 0; i < position.headcount; ++i) {
        const PersonInfo person = i < fixed.size() ? fixed.at(i) : m_employees.newPerson(position.company);
        const Band band = i < firstBands.size() ? firstBands.at(i) : m_planner.drawBand();
        writeHolder(person, position, band);
    }
}

void DemoWorld::writeEmployees()
{
    const PersonInfo angela{1, 52345678, QStringLiteral("Ángela María"), QStringLiteral("Peña Muñoz"),
                            QDate(1984, 3, 15), QStringLiteral("F")};
    const PersonInfo jose{2, 1020304050, QStringLiteral("José Luis"), QStringLiteral("Ibáñez Castaño"),
                          QDate(1990, 11, 2), QStringLiteral("M")};
    m_employees.reserve(angela.id);
    m_employees.reserve(jose.id);
    m_fixedHolders[{1, QStringLiteral("COO002")}] << angela;
    m_fixedHolders[{2, QStringLiteral("JLO001")}] << jose;

    for (const PositionInfo &position : DemoCatalog::positions()) {
        if (position.active)
            writePositionHolders(position);
    }
    writeNotablePeople();
    writeFormerEmployees();
}

void DemoWorld::writeNotablePeople()
{
    // Ángela holds a second active contract, in a sibling position of the same plan node.
    const PersonInfo angela = m_fixedHolders.value({1, QStringLiteral("COO002")}).first();
    m_employees.writeContract(angela, m_lastContract.value(qint64(angela.id)) + 1, QStringLiteral("PRO002"), true, QDate(2021, 2, 1), QDate(),
                              CommonTables::salaryFor(QStringLiteral("03")) / 2);

    // José worked for company 1 before moving to company 2: registered in both.
    PersonInfo jose = m_fixedHolders.value({2, QStringLiteral("JLO001")}).first();
    jose.company = 1;
    m_employees.writePerson(jose);
    m_employees.writeContract(jose, 1, QStringLiteral("TEC002"), false, QDate(2014, 2, 1),
                              QDate(2019, 6, 30), CommonTables::salaryFor(QStringLiteral("04")));
    const EmployeeRecords records =
        m_planner.plan(m_profiles.value({1, QStringLiteral("TEC002")}), Band::Yellow, 3);
    m_employees.writeRecords(jose, records);
}

void DemoWorld::writeFormerEmployees()
{
    const QList<QPair<int, int>> perCompany = {{1, 10}, {2, 6}, {3, 2}};
    for (const auto &[company, count] : perCompany) {
        QList<const PositionInfo *> positions;
        for (const PositionInfo &position : DemoCatalog::positions()) {
            if (position.company == company)
                positions << &position;
        }
        for (int i = 0; i < count; ++i) {
            const PersonInfo person = m_employees.newPerson(company);
            const PositionInfo *position = m_random.pick(positions);
            const QDate start = QDate(2009, 1, 1).addDays(m_random.bounded(8 * 365));
            m_employees.writePerson(person);
            m_employees.writeContract(person, 1, position->code, false, start,
                                      start.addDays(m_random.between(365, 5 * 365)),
                                      CommonTables::salaryFor(position->level));
        }
    }
}

void DemoWorld::writeReplacements()
{
    struct Replacement {
        int company, plan, node;
        PositionKey from;
        int count;
    };
    const QList<Replacement> replacements = {
        {1, 1, 2, {1, QStringLiteral("COO001")}, 3},
        {1, 2, 8, {1, QStringLiteral("DIR003")}, 2},
        {2, 3, 2, {2, QStringLiteral("SUP001")}, 2},
    };
    int minute = 500;
    for (const Replacement &replacement : replacements) {
        const QList<PersonInfo> holders = m_holders.value(replacement.from);
        for (int i = 0; i < replacement.count && i < holders.size(); ++i) {
            m_writer.insert(QStringLiteral("AC_CUARE"),
                            {replacement.company, replacement.plan, replacement.node,
                             holders.at(i).id, replacement.from.second,
                             i == 0 ? QStringLiteral("S") : QStringLiteral("N"),
                             CommonTables::auditUser(), CommonTables::auditTime(minute++),
                             QStringLiteral("A")});
        }
    }
}

void DemoWorld::writeTemplateCompany()
{
    // Rows of company 0: the server returns them, the module's filters must hide them.
    const PositionInfo templatePosition{0, QStringLiteral("GER002"), QStringLiteral("Cargo de plantilla"),
                                        QStringLiteral("01"), QStringLiteral("ADM"), true, 0};
    CommonTables::writeLevels(m_writer, 0);
    CommonTables::writePosition(m_writer, templatePosition,
                                ProfileBuilder::forPosition(templatePosition.area, templatePosition.level));
    CommonTables::writePlan(m_writer, 0, 1, QStringLiteral("Plan de plantilla"),
                            {{1, 0, 0, templatePosition.code, QStringLiteral("1"), QStringLiteral("0"),
                              templatePosition.name}});
    const PersonInfo holder = m_holders.value({1, QStringLiteral("COO001")}).first();
    m_writer.insert(QStringLiteral("AC_CUARE"),
                    {0, 1, 1, holder.id, QStringLiteral("COO001"), QStringLiteral("N"),
                     CommonTables::auditUser(), CommonTables::auditTime(0), QStringLiteral("A")});
}

} // namespace dbtools
