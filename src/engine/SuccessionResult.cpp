#include "engine/SuccessionResult.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <tuple>

namespace engine {

QString SuccessionCandidate::fullName() const
{
    return (employee.apellidos.trimmed() + QLatin1Char(' ') + employee.nombres.trimmed()).trimmed();
}

const NodeSuccession *SuccessionResult::node(int number) const
{
    for (const NodeSuccession &candidate : nodes)
        if (candidate.node == number)
            return &candidate;
    return nullptr;
}

int SuccessionResult::rowCount() const
{
    int rows = 0;
    for (const NodeSuccession &node : nodes)
        rows += int(node.rows.size());
    return rows;
}

int SuccessionResult::measuredNodes() const
{
    return int(std::count_if(nodes.cbegin(), nodes.cend(),
                             [](const NodeSuccession &node) { return node.summary.measured; }));
}

int SuccessionResult::evaluatedPeople() const
{
    int people = 0;
    for (const NodeSuccession &node : nodes)
        if (node.summary.measured)
            people += node.summary.candidates;
    return people;
}

NodeSummary summarize(int node, const CompanyPosition &target, const QString &positionName, int profileRows,
                      const QVector<SuccessionCandidate> &rows)
{
    NodeSummary summary;
    summary.node = node;
    summary.positionCode = target.code;
    summary.positionCompany = target.company;
    summary.positionName = positionName;
    summary.profileRows = profileRows;
    summary.contracts = int(rows.size());
    // Each person's best contract, people in the order of their first contract.
    QVector<const SuccessionCandidate *> people;
    QHash<QPair<int, double>, qsizetype> personAt;
    for (const SuccessionCandidate &row : rows) {
        const QPair<int, double> person{row.employee.codEmpr, row.employee.codEmplValue};
        const auto known = personAt.constFind(person);
        if (known == personAt.cend()) {
            personAt.insert(person, people.size());
            people.append(&row);
        } else if (row.score.percentage > people.at(*known)->score.percentage) {
            people[*known] = &row;
        }
    }
    summary.candidates = int(people.size());
    const SuccessionCandidate *best = nullptr;
    for (const SuccessionCandidate *person : std::as_const(people)) {
        switch (person->band()) {
        case Band::Green:
            ++summary.green;
            break;
        case Band::Yellow:
            ++summary.yellow;
            break;
        case Band::Red:
            ++summary.red;
            break;
        }
        if (!best || person->score.percentage > best->score.percentage)
            best = person;
    }
    if (best) {
        summary.bestName = best->fullName();
        summary.bestPercentage = best->score.percentage;
        summary.band = best->band();
    }
    return summary;
}

const QString &planRowCaption()
{
    static const QString caption = QStringLiteral("Plan (sin cargo)");
    return caption;
}

bool isPlanRow(int node, const CompanyPosition &target)
{
    return node == 0 && target.code.trimmed().isEmpty();
}

NodeSummary summarizeNode(const NodeSuccession &node, const QString &positionName, int profileRows)
{
    const CompanyPosition &target = node.inputs.target;
    if (!isPlanRow(node.node, target))
        return summarize(node.node, target, positionName, profileRows, node.rows);
    NodeSummary summary;
    summary.node = node.node;
    summary.positionCode = target.code;
    summary.positionCompany = target.company;
    summary.positionName = planRowCaption();
    summary.measured = false;
    return summary;
}

namespace {

// Codes of a gap as sortable values: numbers by value, nulls first.
std::tuple<int, QString, double, bool, double> gapCodes(const RequirementGap &gap)
{
    return {gap.company, gap.tipRegi.toString(), gap.codRequ.toDouble(), !gap.codEspe.isNull(),
            gap.codEspe.toDouble()};
}

} // namespace

double averageFulfilment(double fulfilmentSum, int evaluated)
{
    if (evaluated <= 0)
        return 0;
    return std::round(fulfilmentSum * 100 / evaluated * 100) / 100;
}

void sortGaps(RequirementGaps &gaps)
{
    std::stable_sort(gaps.begin(), gaps.end(), [](const RequirementGap &a, const RequirementGap &b) {
        if (a.shortCount != b.shortCount)
            return a.shortCount > b.shortCount;
        if (a.averageFulfilment != b.averageFulfilment)
            return a.averageFulfilment < b.averageFulfilment;
        return gapCodes(a) < gapCodes(b);
    });
}

// A plan's positions may take their profiles from several companies, each with its own codes for
// one requirement: named requirements count together by their names, as a training plan reads
// them; a requirement without a name keeps to its company's codes.
bool sameRequirement(const RequirementGap &a, const RequirementGap &b)
{
    if (!a.requirementName.isEmpty() && !b.requirementName.isEmpty())
        return a.categoryName == b.categoryName && a.requirementName == b.requirementName
            && a.detailName == b.detailName;
    return a.company == b.company && gapCodes(a) == gapCodes(b);
}

void addGaps(RequirementGaps &total, const RequirementGaps &more)
{
    for (const RequirementGap &gap : more) {
        auto same = std::find_if(total.begin(), total.end(), [&gap](const RequirementGap &known) {
            return sameRequirement(known, gap);
        });
        if (same == total.end()) {
            total.append(gap);
            continue;
        }
        same->shortCount += gap.shortCount;
        same->evaluated += gap.evaluated;
        same->fulfilmentSum += gap.fulfilmentSum;
        same->averageFulfilment = averageFulfilment(same->fulfilmentSum, same->evaluated);
        if (same->categoryName.isEmpty())
            same->categoryName = gap.categoryName;
        if (same->requirementName.isEmpty())
            same->requirementName = gap.requirementName;
        if (same->detailName.isEmpty())
            same->detailName = gap.detailName;
    }
}

} // namespace engine
