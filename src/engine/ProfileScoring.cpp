#include "ProfileScoring.h"

#include "TDtmGnLibre.h"

namespace engine {

namespace {

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Int: case QMetaType::UInt:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Float: case QMetaType::Double: case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

long double pointsOf(const QVariant &value)
{
    return value.isNull() ? 0.0L : static_cast<long double>(value.toDouble());
}

// The record type as text and the requirement code as a whole number, as the grouping of
// required points reads them.
QString recordTypeText(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

qint32 requirementNumber(const QVariant &value)
{
    return value.isNull() ? 0 : qint32(value.toLongLong());
}

} // namespace

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    if (isNumber(a) && isNumber(b))
        return a.toDouble() == b.toDouble();
    if (a.typeId() == QMetaType::QString && b.typeId() == QMetaType::QString)
        return a.toString() == b.toString();
    return a == b;
}

bool mismoRequisito(const RequirementKey &profile, const RequirementKey &record)
{
    return sameValue(profile.codRequ, record.codRequ) && sameValue(profile.codEspe, record.codEspe)
        && sameValue(profile.tipRegi, record.tipRegi);
}

int sumarPuntosEducacion(const ProfileRow &row, const CategoryRecords &records, int from,
                         bool eduSinPuntos, long double &obtained)
{
    int at = from;
    for (; at < records.size(); ++at) {
        if (!mismoRequisito(row.key, records[at].key) || row.punRequ.isNull())
            continue;
        if (eduSinPuntos) {
            obtained += pointsOf(row.punRequ);
            return at;
        }
        obtained += pointsOf(records[at].punObte);
    }
    return at;
}

int sumarPuntosExperiencia(const ProfileRow &row, const CategoryRecords &records, int from,
                           long double &obtained)
{
    int at = from;
    for (; at < records.size(); ++at)
        if (mismoRequisito(row.key, records[at].key) && !row.punRequ.isNull())
            obtained += pointsOf(records[at].punObte);
    return at;
}

void sumarPuntosCompetencias(const ProfileRow &row, const CategoryRecords &lines, long double &obtained)
{
    for (const CategoryRecord &line : lines)
        if (mismoRequisito(row.key, line.key))
            obtained += pointsOf(line.punObte);
}

double compliancePercentage(long double obtained, long double required)
{
    if (obtained == 0 || required == 0)
        return 0;
    return DtmGnLibre->FormatearFloat(QStringLiteral("###.##"), double(obtained * 100 / required));
}

EmployeeScore scoreEmployee(const QVector<ProfileRow> &profile, const EmployeeRecords &records,
                            const Categories &categories, bool eduSinPuntos)
{
    EmployeeScore score;
    score.profileCount = quint16(profile.size());
    QString previousType;
    qint16 previousRequirement = -1;
    for (const ProfileRow &row : profile) {
        if (records.exists) {
            if (categories.eduNo)
                sumarPuntosEducacion(row, records.nonFormal, 0, eduSinPuntos, score.obtained);
            if (categories.eduFor)
                sumarPuntosEducacion(row, records.formal, 0, eduSinPuntos, score.obtained);
            if (categories.expe)
                sumarPuntosExperiencia(row, records.experience, 0, score.obtained);
            if (categories.compe)
                sumarPuntosCompetencias(row, records.competences, score.obtained);
        }
        if (!eduSinPuntos) {
            score.required += pointsOf(row.punRequ);
            continue;
        }
        // With education without points each requirement counts once, from its first row. The
        // previous code is kept in 16 bits, so a code outside that range never repeats.
        const QString type = recordTypeText(row.key.tipRegi);
        const qint32 requirement = requirementNumber(row.key.codRequ);
        if (type != previousType || requirement != qint32(previousRequirement)) {
            previousType = type;
            previousRequirement = qint16(requirement);
            score.required += pointsOf(row.punRequ);
        }
    }
    score.percentage = compliancePercentage(score.obtained, score.required);
    return score;
}

} // namespace engine
