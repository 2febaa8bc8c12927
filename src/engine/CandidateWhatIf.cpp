#include "engine/CandidateWhatIf.h"

#include "engine/RequirementGapTally.h"
#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace engine {

namespace {

bool sameKey(const RequirementKey &a, const RequirementKey &b)
{
    return sameValue(a.tipRegi, b.tipRegi) && sameValue(a.codRequ, b.codRequ) && sameValue(a.codEspe, b.codEspe);
}

RequirementKey keyOf(const RequirementGap &gap)
{
    return {gap.codRequ, gap.codEspe, gap.tipRegi};
}

CategoryRecords &listIn(EmployeeRecords &records, RecordList list)
{
    switch (list) {
    case RecordList::NonFormal: return records.nonFormal;
    case RecordList::Formal: return records.formal;
    case RecordList::Experience: return records.experience;
    case RecordList::Competences: break;
    }
    return records.competences;
}

} // namespace

RequirementKey parseGapKey(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^([^:\\s]+):(-?\\d+)(?::(-?\\d*))?$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    bool requOk = false;
    bool espeOk = true;
    qlonglong requ = 0;
    qlonglong espe = 0;
    if (match.hasMatch()) {
        requ = match.captured(2).toLongLong(&requOk);
        if (!match.captured(3).isEmpty())
            espe = match.captured(3).toLongLong(&espeOk);
    }
    if (!match.hasMatch() || !requOk || !espeOk)
        throw Exception(QStringLiteral("La brecha \"%1\" no tiene la forma TIPO:REQU:ESPE (por ejemplo CO:601:2, "
                                       "o CO:601 sin especificación).")
                            .arg(text));
    RequirementKey key(requ, match.captured(3).isEmpty() ? QVariant() : QVariant(espe), match.captured(1));
    key.prepare();
    return key;
}

QString gapKeyText(const RequirementKey &key)
{
    QString text = fieldconv::toText(key.tipRegi).trimmed() + QLatin1Char(':') + fieldconv::toText(key.codRequ);
    if (!key.codEspe.isNull())
        text += QLatin1Char(':') + fieldconv::toText(key.codEspe);
    return text;
}

CandidateWhatIf::CandidateWhatIf(int company, Profile profile, EmployeeRecords records, Categories categories,
                                 bool eduSinPuntos, Rounding round, QHash<QString, RecordList> listOfType)
    : m_company(company), m_profile(std::move(profile)), m_records(std::move(records)), m_categories(categories),
      m_eduSinPuntos(eduSinPuntos), m_round(std::move(round)), m_listOfType(std::move(listOfType))
{
    m_gaps = gapsOf(m_records);
    const QVector<long double> obtained = obtainedByRow(m_profile, m_records, m_categories, m_eduSinPuntos);
    m_missing.fill(0, m_gaps.size());
    for (int at = 0; at < m_profile.size(); ++at) {
        const ProfileRow &row = m_profile.at(at);
        const long double required = points(row.punRequ);
        if (obtained.at(at) >= required)
            continue;
        // Points are doubles: the nearest one to what is missing may fall short by a hair, and
        // the row would stay a gap; the next one up closes it.
        double missing = double(required - obtained.at(at));
        while (obtained.at(at) + missing < required)
            missing = std::nextafter(missing, std::numeric_limits<double>::infinity());
        for (int gap = 0; gap < m_gaps.size(); ++gap)
            if (sameKey(keyOf(m_gaps.at(gap)), row.key))
                m_missing[gap] = std::max(m_missing.at(gap), missing);
    }
}

// Every requirement of the profile with required points, as the node's gaps count it for this
// one candidate; those he falls short of.
RequirementGaps CandidateWhatIf::gapsOf(const EmployeeRecords &records) const
{
    RequirementGapTally tally(m_company, m_profile);
    tally.add(obtainedByRow(m_profile, records, m_categories, m_eduSinPuntos));
    RequirementGaps gaps = tally.gaps();
    gaps.erase(std::remove_if(gaps.begin(), gaps.end(), [](const RequirementGap &gap) { return gap.shortCount == 0; }),
               gaps.end());
    return gaps;
}

void CandidateWhatIf::name(const RequirementGaps &named)
{
    for (RequirementGap &gap : m_gaps) {
        const auto found = std::find_if(named.cbegin(), named.cend(), [&gap](const RequirementGap &other) {
            return sameKey(keyOf(gap), keyOf(other));
        });
        if (found == named.cend())
            continue;
        gap.categoryName = found->categoryName;
        gap.requirementName = found->requirementName;
        gap.detailName = found->detailName;
    }
}

int CandidateWhatIf::gapOf(const RequirementKey &key) const
{
    for (int at = 0; at < m_gaps.size(); ++at)
        if (sameKey(keyOf(m_gaps.at(at)), key))
            return at;
    const bool required = std::any_of(m_profile.cbegin(), m_profile.cend(), [&key](const ProfileRow &row) {
        return points(row.punRequ) > 0 && sameKey(row.key, key);
    });
    if (required)
        throw Exception(QStringLiteral("El candidato ya cumple el requisito %1: no es una de sus brechas.")
                            .arg(gapKeyText(key)));
    throw Exception(QStringLiteral("El perfil del cargo no tiene el requisito %1 con puntos requeridos en las "
                                   "categorías marcadas.")
                        .arg(gapKeyText(key)));
}

QVector<ClosingRecord> CandidateWhatIf::closingRecords(const QVector<int> &closed) const
{
    QVector<ClosingRecord> made;
    for (const int at : closed) {
        const RequirementGap &gap = m_gaps.at(at);
        ClosingRecord closing;
        closing.list = m_listOfType.value(fieldconv::toText(gap.tipRegi).trimmed(), RecordList::Competences);
        closing.record.key = keyOf(gap);
        closing.record.key.prepare();
        closing.record.punObte = m_missing.at(at);
        made.append(closing);
    }
    return made;
}

EmployeeRecords CandidateWhatIf::recordsWith(const QVector<int> &closed) const
{
    EmployeeRecords records = m_records;
    for (const ClosingRecord &closing : closingRecords(closed))
        listIn(records, closing.list).append(closing.record);
    return records;
}

EmployeeScore CandidateWhatIf::score(const QVector<int> &closed) const
{
    return scoreEmployee(m_profile, recordsWith(closed), m_categories, m_eduSinPuntos, m_round);
}

RequirementGaps CandidateWhatIf::openGaps(const QVector<int> &closed) const
{
    RequirementGaps open = gapsOf(recordsWith(closed));
    for (RequirementGap &gap : open) {
        const int at = gapOf(keyOf(gap));
        gap.categoryName = m_gaps.at(at).categoryName;
        gap.requirementName = m_gaps.at(at).requirementName;
        gap.detailName = m_gaps.at(at).detailName;
    }
    return open;
}

} // namespace engine
