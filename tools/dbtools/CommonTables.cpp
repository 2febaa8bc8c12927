#include "tools/dbtools/CommonTables.h"

#include "appserver/PasswordHash.h"
#include "tools/dbtools/SeedWriter.h"

#include <future>
#include <vector>

namespace dbtools {
namespace CommonTables {

QString auditUser()
{
    return QStringLiteral("ADMIN");
}

QDateTime auditTime(int minutesAfterStart)
{
    return QDateTime(QDate(2024, 3, 4), QTime(8, 30)).addSecs(60LL * minutesAfterStart);
}

void writeCountries(SeedWriter &writer)
{
    for (const CountryInfo &country : DemoCatalog::countries())
        writer.insert(QStringLiteral("GN_PAISE"), {country.code, country.name});
}

void writeUsers(SeedWriter &writer)
{
    const QList<QStringList> users = {
        {QStringLiteral("ADMIN"), QStringLiteral("ADMIN"), QStringLiteral("A"),
         QStringLiteral("Administrador del sistema")},
        {QStringLiteral("ANALISTA"), QStringLiteral("ANALISTA"), QStringLiteral("U"),
         QStringLiteral("María Fernanda Ordóñez Peña")},
        {QStringLiteral("CONSULTA"), QStringLiteral("CONSULTA"), QStringLiteral("C"),
         QStringLiteral("Usuario de consulta")},
    };
    // Each hash takes a deliberate few tens of milliseconds of one processor; they are made side
    // by side rather than one after another.
    std::vector<std::future<QString>> hashes;
    for (const QStringList &user : users)
        hashes.push_back(std::async(std::launch::async, appserver::PasswordHash::make, user[1]));
    for (qsizetype i = 0; i < users.size(); ++i)
        writer.insert(QStringLiteral("GN_USUAR"),
                      {users[i][0], hashes[size_t(i)].get(), users[i][2], users[i][3], QStringLiteral("A"), 0});
}

void writeGrants(SeedWriter &writer, const QList<int> &companies, const QList<int> &consultaCompanies)
{
    for (const QString &user : {QStringLiteral("ADMIN"), QStringLiteral("ANALISTA")})
        for (const int company : companies)
            writer.insert(QStringLiteral("GN_USEMP"), {user, company});
    for (const int company : consultaCompanies)
        writer.insert(QStringLiteral("GN_USEMP"), {QStringLiteral("CONSULTA"), company});
}

void writePrograms(SeedWriter &writer)
{
    const QList<QStringList> programs = {
        {QStringLiteral("QBiHvext"), QStringLiteral("Hoja de vida: experiencia laboral")},
        {QStringLiteral("QBiEdfor"), QStringLiteral("Hoja de vida: educación formal")},
        {QStringLiteral("QBiEdnfo"), QStringLiteral("Hoja de vida: educación no formal")},
        {QStringLiteral("QBiCargo"), QStringLiteral("Maestro de cargos")},
    };
    // Paths without a folder: the launcher finds them beside the running program, where the build
    // links each code to the record viewer, or on the PATH.
    for (const QStringList &program : programs)
        writer.insert(QStringLiteral("GN_PROGR"), {program[0], program[0], program[1]});
}

void writeCompany(SeedWriter &writer, const CompanyInfo &company, const QByteArray &logo)
{
    writer.insert(QStringLiteral("GN_EMPRE"),
                  {company.code, company.name, company.nit,
                   company.checkDigit.isEmpty() ? QVariant() : QVariant(company.checkDigit),
                   company.address, company.phone, company.country, company.group,
                   logo.isEmpty() ? QVariant() : QVariant(logo)});
    writer.insert(QStringLiteral("NM_PARSS"),
                  {company.code, company.payPeriod, company.minimumWage, company.transportAid,
                   QDate(2024, 1, 1)});
}

void writeFlag(SeedWriter &writer, const QString &code, int country, int company,
               const QString &value, const QString &description)
{
    writer.insert(QStringLiteral("GN_NEXOF"),
                  {code, country, company, value, QStringLiteral("C"), description});
}

void writeLevels(SeedWriter &writer, int company)
{
    for (const LevelInfo &level : DemoCatalog::levels())
        writer.insert(QStringLiteral("AC_NIVEL"), {company, level.code, level.name});
}

void writeCatalogue(SeedWriter &writer, int company)
{
    const QString area = QStringLiteral("AC");
    for (const RecordTypeInfo &type : DemoCatalog::recordTypes()) {
        writer.insert(QStringLiteral("AC_DPAMA"), {company, type.category, type.code,
                                                   DemoCatalog::categoryName(type.category)});
        writer.insert(QStringLiteral("AC_TIPRG"), {company, area, type.code, type.name});
    }
    for (const RequirementInfo &requirement : DemoCatalog::requirements()) {
        writer.insert(QStringLiteral("AC_REQUI"),
                      {company, area, requirement.recordType, requirement.code, requirement.name});
        for (const EspeInfo &espe : requirement.espes) {
            writer.insert(QStringLiteral("AC_ESPEC"), {company, area, requirement.recordType,
                                                       requirement.code, espe.code, espe.name});
        }
    }
}

void writePosition(SeedWriter &writer, const PositionInfo &position, const QList<ProfileRow> &profile)
{
    double required = 0;
    for (const ProfileRow &row : profile)
        required += row.points.toDouble();
    writer.insert(QStringLiteral("BI_CARGO"),
                  {position.company, position.code, position.name,
                   position.active ? QStringLiteral("A") : QStringLiteral("I"), position.level,
                   required});
    int line = 0;
    for (const ProfileRow &row : profile) {
        writer.insert(QStringLiteral("BI_DTPCA"),
                      {position.company, position.code, ++line, row.recordType, row.requirement,
                       row.espe, row.points, row.description});
    }
}

void writePlan(SeedWriter &writer, int company, int plan, const QString &name,
               const QList<PlanNodeInfo> &nodes)
{
    // Node 0 is the plan's header: no parent, no position, no duration.
    writer.insert(QStringLiteral("AC_PPROM"),
                  {company, plan, 0, QVariant(), QStringLiteral("P"), name.left(30), QVariant(),
                   QVariant(), auditUser(), auditTime(plan * 60), QVariant(), QStringLiteral("A"),
                   company});
    for (const PlanNodeInfo &node : nodes) {
        const PositionInfo *position = DemoCatalog::position(node.positionCompany, node.position);
        const QString nodeName = !node.name.isEmpty() ? node.name
                                 : position         ? position->name
                                                    : node.position;
        writer.insert(QStringLiteral("AC_PPROM"),
                      {company, plan, node.node, node.parent, QStringLiteral("C"), nodeName.left(30),
                       node.years, node.days, auditUser(), auditTime(plan * 60 + node.node),
                       node.position, QStringLiteral("A"), node.positionCompany});
    }
}

double salaryFor(const QString &level)
{
    static const QList<double> byLevel = {18000000, 9500000, 5200000, 2900000, 1900000, 1400000};
    const int index = qBound(1, level.toInt(), 6) - 1;
    return byLevel.at(index);
}

} // namespace CommonTables
} // namespace dbtools
