#pragma once
// Rows that every seeded database has in the same shape, whatever the company: countries,
// users, program paths, companies, feature flags, levels, the requirement catalogue, positions
// with their profiles and career-plan rows.

#include "tools/dbtools/DemoCatalog.h"
#include "tools/dbtools/ProfileBuilder.h"

#include <QByteArray>
#include <QDateTime>

namespace dbtools {

class SeedWriter;

namespace CommonTables {

// The user that every seeded row names in its audit columns.
QString auditUser();
QDateTime auditTime(int minutesAfterStart);

void writeCountries(SeedWriter &writer);
void writeUsers(SeedWriter &writer);
// GN_USEMP: the companies each user may work with. ADMIN and ANALISTA get every company given;
// CONSULTA only `consultaCompanies`, so that the refusal of the others can be seen.
void writeGrants(SeedWriter &writer, const QList<int> &companies, const QList<int> &consultaCompanies);
void writePrograms(SeedWriter &writer);
// GN_EMPRE and the company's NM_PARSS row; `logo` empty for none.
void writeCompany(SeedWriter &writer, const CompanyInfo &company, const QByteArray &logo);
void writeFlag(SeedWriter &writer, const QString &code, int country, int company,
               const QString &value, const QString &description);
void writeLevels(SeedWriter &writer, int company);
// AC_DPAMA, AC_TIPRG, AC_REQUI and AC_ESPEC of one company.
void writeCatalogue(SeedWriter &writer, int company);
// BI_CARGO (required score = sum of the profile) and its BI_DTPCA rows.
void writePosition(SeedWriter &writer, const PositionInfo &position, const QList<ProfileRow> &profile);
void writePlan(SeedWriter &writer, int company, int plan, const QString &name,
               const QList<PlanNodeInfo> &nodes);
double salaryFor(const QString &level);

} // namespace CommonTables
} // namespace dbtools
