#include "tools/dbtools/ProfileBuilder.h"

#include "tools/dbtools/DemoRandom.h"

#include <QHash>
#include <cmath>

namespace dbtools {

namespace {

int levelNumber(const QString &level)
{
    const int number = level.toInt();
    return number < 1 ? 6 : qMin(number, 6);
}

// How many picks of a record type a level keeps from its area's template.
int allowedPicks(const QString &recordType, int level)
{
    if (recordType == QLatin1String("PG"))
        return level <= 2 ? 1 : 0;
    if (recordType == QLatin1String("SE"))
        return level <= 3 ? 1 : 0;
    if (recordType == QLatin1String("CU"))
        return 2;
    return level <= 3 ? 2 : 1;   // FO, EX, CO, CF, CE
}

} // namespace

QVariant ProfileBuilder::espeFor(const RequirementInfo &requirement, const QString &level)
{
    if (requirement.espes.isEmpty())
        return {};
    const double seniority = (6 - levelNumber(level)) / 5.0;
    const int index = int(std::lround(seniority * (requirement.espes.size() - 1)));
    return requirement.espes.at(index).code;
}

QString ProfileBuilder::describe(const RequirementInfo &requirement, const QVariant &espe)
{
    QString text = requirement.name;
    for (const EspeInfo &info : requirement.espes) {
        if (!espe.isNull() && info.code == espe.toInt())
            text += QStringLiteral(" - ") + info.name;
    }
    return text.left(80);
}

ProfileRow ProfileBuilder::row(const RequirementInfo &requirement, const QVariant &espe)
{
    const RecordTypeInfo *type = DemoCatalog::recordType(requirement.recordType);
    return {requirement.recordType, requirement.code, espe, type ? type->points : 0.0,
            describe(requirement, espe)};
}

QList<ProfileRow> ProfileBuilder::forPosition(const QString &area, const QString &level)
{
    QList<ProfileRow> rows;
    QHash<QString, int> taken;
    const int number = levelNumber(level);
    for (const RequirementPick &pick : DemoCatalog::areaTemplate(area)) {
        if (taken.value(pick.recordType) >= allowedPicks(pick.recordType, number))
            continue;
        const RequirementInfo *requirement = DemoCatalog::requirement(pick.recordType, pick.requirement);
        if (!requirement)
            continue;
        ++taken[pick.recordType];
        rows << row(*requirement, espeFor(*requirement, level));
    }
    return rows;
}

QList<ProfileRow> ProfileBuilder::drawn(DemoRandom &random, const QList<QPair<QString, int>> &perType,
                                        const QString &level)
{
    QList<ProfileRow> rows;
    for (const auto &[recordType, count] : perType) {
        QList<const RequirementInfo *> pool;
        for (const RequirementInfo &info : DemoCatalog::requirements()) {
            if (info.recordType == recordType)
                pool << &info;
        }
        for (int i = 0; i < count && !pool.isEmpty(); ++i) {
            const RequirementInfo *requirement = pool.takeAt(random.bounded(int(pool.size())));
            rows << row(*requirement, espeFor(*requirement, level));
        }
    }
    return rows;
}

} // namespace dbtools
