#include "engine/ProfileScoring.h"

#include "framework/dataset/FieldConvert.h"

#include <QLocale>

namespace engine {

namespace {

bool isInteger(int typeId)
{
    switch (typeId) {
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Int: case QMetaType::UInt:
    case QMetaType::Long: case QMetaType::ULong: case QMetaType::LongLong:
    case QMetaType::SChar: case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isText(int typeId)
{
    return typeId == QMetaType::QString || typeId == QMetaType::QChar;
}

bool sameNumber(const QVariant &a, const QVariant &b)
{
    // ULongLong stays out of the exact path: above 2^63 it has no signed image.
    if (isInteger(a.typeId()) && isInteger(b.typeId()))
        return a.toLongLong() == b.toLongLong();
    return a.toDouble() == b.toDouble();
}

bool textMatchesNumber(const QVariant &text, const QVariant &number)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.toString(), &ok);
    return ok && value == number.toDouble();
}

} // namespace

bool sameValue(const QVariant &a, const QVariant &b)
{
    // The types the datasets deliver for codes, on the short path: matching runs for every
    // profile row against every record of an employee.
    const int type = a.typeId();
    if (type == b.typeId()) {
        if (type == QMetaType::Int)
            return *static_cast<const int *>(a.constData()) == *static_cast<const int *>(b.constData());
        if (type == QMetaType::QString)
            return *static_cast<const QString *>(a.constData()) == *static_cast<const QString *>(b.constData());
    }
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    const bool numberA = fieldconv::isNumeric(a);
    const bool numberB = fieldconv::isNumeric(b);
    if (numberA && numberB)
        return sameNumber(a, b);
    if (isText(a.typeId()) && isText(b.typeId()))
        return a.toString() == b.toString();
    if (numberA && isText(b.typeId()))
        return textMatchesNumber(b, a);
    if (numberB && isText(a.typeId()))
        return textMatchesNumber(a, b);
    return a == b;
}

namespace {

// The type's characters packed after their count; a count of 7 marks a type kept only as text.
constexpr int kPackedCharacters = 3;
constexpr quint64 kLongType = 7;

quint64 typeShape(const QString &type)
{
    if (type.size() > kPackedCharacters)
        return kLongType << 48;
    quint64 shape = quint64(type.size()) << 48;
    for (int i = 0; i < type.size(); ++i)
        shape |= quint64(type.at(i).unicode()) << (16 * i);
    return shape;
}

} // namespace

void RequirementKey::prepare()
{
    const auto number = [](const QVariant &value, bool &isNull, int &out) {
        isNull = value.isNull();
        if (!isNull && value.typeId() != QMetaType::Int)
            return false;
        out = isNull ? 0 : *static_cast<const int *>(value.constData());
        return true;
    };
    plain = {};
    const bool tipoNull = tipRegi.isNull();
    if (!tipoNull && tipRegi.typeId() != QMetaType::QString)
        return;
    bool requNull = true, espeNull = true;
    int requ = 0, espe = 0;
    if (!number(codRequ, requNull, requ) || !number(codEspe, espeNull, espe))
        return;
    if (!tipoNull)
        plain.tipo = *static_cast<const QString *>(tipRegi.constData());
    plain.codes = (quint64(quint32(requ)) << 32) | quint32(espe);
    plain.shape = typeShape(plain.tipo) | (quint64(requNull) << 52) | (quint64(espeNull) << 53) | (quint64(tipoNull) << 54);
    plain.ready = true;
}

ProfileKeys::ProfileKeys(const Profile &profile)
{
    for (const ProfileRow &row : profile) {
        if (!row.key.plain.ready) {
            m_decides = false;
            return;
        }
        m_keys.insert({row.key.plain.codes, row.key.plain.shape});
    }
}

bool ProfileKeys::mayMatch(const RequirementKey &record) const
{
    const RequirementKey::Plain &plain = record.plain;
    if (!m_decides || !plain.ready || ((plain.shape >> 48) & 7) == kLongType)
        return true;
    return m_keys.contains({plain.codes, plain.shape});
}

bool mismoRequisitoGeneral(const RequirementKey &profile, const RequirementKey &record)
{
    const RequirementKey::Plain &a = profile.plain;
    const RequirementKey::Plain &b = record.plain;
    if (a.ready && b.ready)
        return a.codes == b.codes && a.shape == b.shape
            && (((a.shape >> 48) & 7) != kLongType || a.tipo == b.tipo);
    return sameValue(profile.codRequ, record.codRequ) && sameValue(profile.codEspe, record.codEspe)
        && sameValue(profile.tipRegi, record.tipRegi);
}

long double pointsGeneral(const QVariant &value)
{
    return value.isNull() ? 0.0L : static_cast<long double>(fieldconv::toFloat(value, QString()));
}

namespace {

// The two walks with the row's "has required points" worked out by the caller: scoring asks it
// once per profile row, not once per category. Each point earned goes to `add`.
template <typename Add>
int educationWalk(const ProfileRow &row, bool required, const CategoryRecords &records, int from, bool eduSinPuntos,
                  Add add)
{
    // A row without required points takes nothing from any record: the walk ends at the end.
    if (!required)
        return int(qMax(records.size(), qsizetype(from)));
    int at = from;
    for (; at < records.size(); ++at) {
        if (!mismoRequisito(row.key, records[at].key))
            continue;
        if (eduSinPuntos) {
            add(points(row.punRequ));
            return at;
        }
        add(points(records[at].punObte));
    }
    return at;
}

template <typename Add>
int experienceWalk(const ProfileRow &row, bool required, const CategoryRecords &records, int from, Add add)
{
    if (!required)
        return int(qMax(records.size(), qsizetype(from)));
    int at = from;
    for (; at < records.size(); ++at)
        if (mismoRequisito(row.key, records[at].key))
            add(points(records[at].punObte));
    return at;
}

template <typename Add>
void competenceWalk(const ProfileRow &row, const CategoryRecords &lines, Add add)
{
    for (const CategoryRecord &line : lines)
        if (mismoRequisito(row.key, line.key))
            add(points(line.punObte));
}

} // namespace

int sumarPuntosEducacion(const ProfileRow &row, const CategoryRecords &records, int from,
                         bool eduSinPuntos, long double &obtained)
{
    return educationWalk(row, !row.punRequ.isNull(), records, from, eduSinPuntos,
                         [&obtained](long double points) { obtained += points; });
}

int sumarPuntosExperiencia(const ProfileRow &row, const CategoryRecords &records, int from,
                           long double &obtained)
{
    return experienceWalk(row, !row.punRequ.isNull(), records, from,
                          [&obtained](long double points) { obtained += points; });
}

void sumarPuntosCompetencias(const ProfileRow &row, const CategoryRecords &lines, long double &obtained)
{
    competenceWalk(row, lines, [&obtained](long double points) { obtained += points; });
}

bool RequiredPointsGrouping::startsRequirement(const ProfileRow &row)
{
    // Read as the fields read: the record type as text, the code as a 32-bit whole number,
    // compared with the 16-bit copy, so a code outside that range never repeats.
    const QString type = fieldconv::toText(row.key.tipRegi);
    const int requirement = int(fieldconv::toInteger(row.key.codRequ, QStringLiteral("COD_REQU")));
    if (type == m_previousType && requirement == int(m_previousRequirement))
        return false;
    m_previousType = type;
    m_previousRequirement = qint16(requirement);
    return true;
}

double compliancePercentage(long double obtained, long double required, const Rounding &round)
{
    if (obtained == 0 || required == 0)
        return 0;
    return round(double(obtained * 100 / required));
}

namespace {

// What one profile row earns from an existing employee's records in the ticked categories, each
// point handed to `add` in the order the rules add them.
template <typename Add>
void rowWalk(const ProfileRow &row, const EmployeeRecords &records, const Categories &categories, bool eduSinPuntos,
             Add add)
{
    const bool required = !row.punRequ.isNull();
    if (categories.eduNo)
        educationWalk(row, required, records.nonFormal, 0, eduSinPuntos, add);
    if (categories.eduFor)
        educationWalk(row, required, records.formal, 0, eduSinPuntos, add);
    if (categories.expe)
        experienceWalk(row, required, records.experience, 0, add);
    if (categories.compe)
        competenceWalk(row, records.competences, add);
}

// scoreEmployee(), with every point earned also handed to `earned` with its profile row.
template <typename Earned>
EmployeeScore scoreRows(const Profile &profile, const EmployeeRecords &records, const Categories &categories,
                        bool eduSinPuntos, const Rounding &round, Earned earned)
{
    EmployeeScore score;
    score.profileCount = quint16(profile.size());
    RequiredPointsGrouping grouping;
    for (int at = 0; at < profile.size(); ++at) {
        const ProfileRow &row = profile.at(at);
        if (records.exists)
            rowWalk(row, records, categories, eduSinPuntos, [&score, &earned, at](long double points) {
                score.obtained += points;
                earned(at, points);
            });
        if (!eduSinPuntos || grouping.startsRequirement(row))
            score.required += points(row.punRequ);
    }
    score.percentage = compliancePercentage(score.obtained, score.required, round);
    return score;
}

} // namespace

EmployeeScore scoreEmployee(const Profile &profile, const EmployeeRecords &records,
                            const Categories &categories, bool eduSinPuntos, const Rounding &round)
{
    return scoreRows(profile, records, categories, eduSinPuntos, round, [](int, long double) {});
}

EmployeeScore scoreEmployee(const Profile &profile, const EmployeeRecords &records, const Categories &categories,
                            bool eduSinPuntos, const Rounding &round, QVector<long double> &byRow)
{
    byRow.fill(0, profile.size());
    long double *points = byRow.data();
    return scoreRows(profile, records, categories, eduSinPuntos, round,
                     [points](int row, long double earned) { points[row] += earned; });
}

QVector<long double> obtainedByRow(const Profile &profile, const EmployeeRecords &records,
                                   const Categories &categories, bool eduSinPuntos)
{
    QVector<long double> obtained(profile.size(), 0);
    if (!records.exists)
        return obtained;
    for (int at = 0; at < profile.size(); ++at)
        rowWalk(profile.at(at), records, categories, eduSinPuntos,
                [&earned = obtained[at]](long double points) { earned += points; });
    return obtained;
}

namespace {

// A prepared key compared as plain numbers alone: of the usual shape and with a short type.
bool plainKey(const RequirementKey &key)
{
    return key.plain.ready && ((key.plain.shape >> 48) & 7) != kLongType;
}

// One of 64 bits for a plain key: equal keys have the same bit.
quint64 keyBit(quint64 codes, quint64 shape)
{
    const quint64 mixed = (codes ^ (shape * 0x9E3779B97F4A7C15ull)) * 0xBF58476D1CE4E5B9ull;
    return quint64(1) << (mixed >> 58);
}

// Points that read as they are: a number, or null (0).
bool plainPoints(const QVariant &value)
{
    return value.isNull() || value.typeId() == QMetaType::Double;
}

} // namespace

PlainRecords::PlainRecords(const EmployeeRecords &records)
{
    m_records.reserve(records.nonFormal.size() + records.formal.size() + records.experience.size()
                      + records.competences.size());
    int category = 0;
    for (const CategoryRecords *list : {&records.nonFormal, &records.formal, &records.experience, &records.competences}) {
        for (const CategoryRecord &record : *list) {
            if (!plainKey(record.key) || !plainPoints(record.punObte))
                return;
            m_records.append({record.key.plain.codes, record.key.plain.shape, points(record.punObte)});
            m_keys[category] |= keyBit(record.key.plain.codes, record.key.plain.shape);
        }
        m_ends[category++] = int(m_records.size());
    }
    m_usable = true;
}

PlainProfile::PlainProfile(const Profile &profile, bool eduSinPuntos)
    : m_count(quint16(profile.size())), m_eduSinPuntos(eduSinPuntos)
{
    m_rows.reserve(profile.size());
    for (const ProfileRow &row : profile) {
        if (!plainKey(row.key) || !plainPoints(row.punRequ))
            return;
        m_rows.append({row.key.plain.codes, row.key.plain.shape, keyBit(row.key.plain.codes, row.key.plain.shape),
                       !row.punRequ.isNull(), points(row.punRequ)});
    }
    // The required points do not depend on the employee: added once, as scoreEmployee() adds them.
    try {
        RequiredPointsGrouping grouping;
        for (int at = 0; at < profile.size(); ++at)
            if (!eduSinPuntos || grouping.startsRequirement(profile.at(at)))
                m_required += m_rows.at(at).points;
    } catch (...) {
        return;   // scoreEmployee() says why, employee by employee
    }
    m_usable = true;
}

EmployeeScore PlainProfile::score(const PlainRecords &records, bool exists, const Categories &categories,
                                  const Rounding &round, QVector<long double> &byRow) const
{
    EmployeeScore score;
    score.profileCount = m_count;
    byRow.fill(0, m_rows.size());
    if (exists) {
        const PlainRecords::Record *all = records.m_records.constData();
        const PlainRecords::Record *const ends[4] = {all + records.m_ends[0], all + records.m_ends[1],
                                                     all + records.m_ends[2], all + records.m_ends[3]};
        const bool ticked[4] = {categories.eduNo, categories.eduFor, categories.expe, categories.compe};
        for (int at = 0; at < m_rows.size(); ++at) {
            const Row &row = m_rows.at(at);
            long double &earned = byRow[at];
            const PlainRecords::Record *from = all;
            for (int category = 0; category < 4; ++category) {
                const PlainRecords::Record *const end = ends[category];
                const PlainRecords::Record *record = from;
                from = end;
                // Education and experience take nothing for a row without required points;
                // competence lines count whatever the row requires.
                if (!ticked[category] || (category < 3 && !row.required) || !(records.m_keys[category] & row.bit))
                    continue;
                for (; record != end; ++record) {
                    if (record->codes != row.codes || record->shape != row.shape)
                        continue;
                    if (category < 2 && m_eduSinPuntos) {
                        // Education without points: the row's required points, once.
                        score.obtained += row.points;
                        earned += row.points;
                        break;
                    }
                    score.obtained += record->points;
                    earned += record->points;
                }
            }
        }
    }
    score.required = m_required;
    score.percentage = compliancePercentage(score.obtained, score.required, round);
    return score;
}

} // namespace engine
