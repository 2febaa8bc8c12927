#include "engine/HolderRecordGroups.h"

#include <QSet>

#include <algorithm>
#include <numeric>

namespace engine {

namespace {

using PositionKey = QPair<int, QString>;   // company, position code

PositionKey groupKeyOf(const CompanyPosition &position)
{
    return {position.company, position.code};
}

// Positions joined into groups; a group is named by its first position.
class Joined {
public:
    explicit Joined(qsizetype size) : m_parent(size)
    {
        std::iota(m_parent.begin(), m_parent.end(), 0);
    }
    int first(int at)
    {
        while (m_parent.at(at) != at) {
            m_parent[at] = m_parent.at(m_parent.at(at));
            at = m_parent.at(at);
        }
        return at;
    }
    void join(int a, int b)
    {
        a = first(a);
        b = first(b);
        if (a != b)
            m_parent[std::max(a, b)] = std::min(a, b);
    }

private:
    QVector<int> m_parent;
};

// A group being made, with its targets as a set.
struct Forming {
    HolderRecordGroup group;
    QSet<PositionKey> targets;

    // What reading it costs, in holder-target pairs.
    qsizetype cost() const { return group.holders * targets.size(); }

    void addTarget(const CompanyPosition &target)
    {
        if (!targets.contains(groupKeyOf(target))) {
            targets.insert(groupKeyOf(target));
            group.targets.append(target);
        }
    }
    void absorb(const Forming &other)
    {
        group.positions += other.group.positions;
        group.holders += other.group.holders;
        for (const CompanyPosition &target : other.group.targets)
            addTarget(target);
    }
};

qsizetype unionSize(const QSet<PositionKey> &a, const QSet<PositionKey> &b)
{
    const bool aSmaller = a.size() <= b.size();
    const QSet<PositionKey> &small = aSmaller ? a : b;
    const QSet<PositionKey> &large = aSmaller ? b : a;
    qsizetype size = large.size();
    for (const PositionKey &key : small)
        size += !large.contains(key);
    return size;
}

// Merges groups of one company until `most` are left (or one per company): each time the
// cheapest group that has another in its company into the one it adds the fewest holder-target
// pairs to.
void mergeDown(QVector<Forming> &groups, int most)
{
    QHash<int, int> perCompany;
    for (const Forming &group : std::as_const(groups))
        ++perCompany[group.group.company];
    while (groups.size() > std::max(1, most)) {
        int cheapest = -1;
        for (int at = 0; at < groups.size(); ++at)
            if (perCompany.value(groups.at(at).group.company) > 1
                && (cheapest < 0 || groups.at(at).cost() < groups.at(cheapest).cost()))
                cheapest = at;
        if (cheapest < 0)
            return;
        const Forming &merged = groups.at(cheapest);
        int partner = -1;
        qsizetype fewestAdded = 0;
        for (int at = 0; at < groups.size(); ++at) {
            const Forming &other = groups.at(at);
            if (at == cheapest || other.group.company != merged.group.company)
                continue;
            const qsizetype added = (merged.group.holders + other.group.holders) * unionSize(merged.targets, other.targets)
                - merged.cost() - other.cost();
            if (partner < 0 || added < fewestAdded) {
                partner = at;
                fewestAdded = added;
            }
        }
        const int into = std::min(cheapest, partner);
        const int from = std::max(cheapest, partner);
        groups[into].absorb(groups.at(from));
        --perCompany[groups.at(from).group.company];
        groups.removeAt(from);
    }
}

} // namespace

void HolderRecordGroups::add(const CompanyPosition &position, const CandidateEmployees &holders,
                             const CompanyPosition &target)
{
    if (holders.isEmpty())
        return;
    auto found = m_at.constFind(groupKeyOf(position));
    if (found == m_at.constEnd()) {
        found = m_at.insert(groupKeyOf(position), int(m_positions.size()));
        m_positions.append({position, {}, holders});
    }
    CompanyPositions &targets = m_positions[*found].targets;
    if (!targets.contains(target))
        targets.append(target);
}

QVector<HolderRecordGroup> HolderRecordGroups::groups(int most) const
{
    Joined joined(m_positions.size());
    QHash<QPair<int, QStringList>, int> bySameTargets;   // company, its targets sorted -> first position
    QHash<QPair<int, double>, int> byHolder;             // company, COD_EMPL -> first position
    for (int at = 0; at < m_positions.size(); ++at) {
        const Position &position = m_positions.at(at);
        const int company = position.position.company;
        QStringList targets;
        for (const CompanyPosition &target : position.targets)
            targets << QString::number(target.company) + QLatin1Char('|') + target.code;
        targets.sort();
        const auto same = bySameTargets.constFind({company, targets});
        if (same != bySameTargets.constEnd())
            joined.join(at, *same);
        else
            bySameTargets.insert({company, targets}, at);
        for (const CandidateEmployee &holder : position.holders) {
            const auto shared = byHolder.constFind({company, holder.codEmplValue});
            if (shared != byHolder.constEnd())
                joined.join(at, *shared);
            else
                byHolder.insert({company, holder.codEmplValue}, at);
        }
    }

    QVector<int> companies;
    QHash<int, QVector<Forming>> byCompany;
    QHash<int, int> formingOf;   // first position -> its group in its company's list
    for (int at = 0; at < m_positions.size(); ++at) {
        const Position &position = m_positions.at(at);
        const int company = position.position.company;
        if (!byCompany.contains(company))
            companies << company;
        QVector<Forming> &forming = byCompany[company];
        const int first = joined.first(at);
        auto found = formingOf.constFind(first);
        if (found == formingOf.constEnd()) {
            found = formingOf.insert(first, int(forming.size()));
            forming.append(Forming());
            forming.last().group.company = company;
        }
        Forming &group = forming[*found];
        group.group.positions << position.position.code;
        group.group.holders += position.holders.size();
        for (const CompanyPosition &target : position.targets)
            group.addTarget(target);
    }

    QVector<Forming> forming;
    for (const int company : std::as_const(companies))
        forming += byCompany.value(company);
    mergeDown(forming, most);
    QVector<HolderRecordGroup> groups;
    for (const Forming &group : std::as_const(forming))
        groups.append(group.group);
    return groups;
}

} // namespace engine
