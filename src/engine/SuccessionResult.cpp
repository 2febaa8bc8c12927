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

NodeSummary summarize(int node, const CompanyPosition &target, const QString &positionName,
                      const QVector<SuccessionCandidate> &rows)
{
    NodeSummary summary;
    summary.node = node;
    summary.positionCode = target.code;
    summary.positionCompany = target.company;
    summary.positionName = positionName;
    summary.candidates = int(rows.size());
    const SuccessionCandidate *best = nullptr;
    for (const SuccessionCandidate &row : rows) {
        switch (row.band()) {
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
        if (!best || row.score.percentage > best->score.percentage)
            best = &row;
    }
    if (best) {
        summary.bestName = best->fullName();
        summary.bestPercentage = best->score.percentage;
        summary.band = best->band();
    }
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
