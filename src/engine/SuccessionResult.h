#pragma once
// What a succession map holds: for every node of a plan that has candidates, the rows its
// traffic light gives (the very rows "Generación Semaforo" appends on that node, in that order),
// a summary of them (counts per band, the best candidate) and the requirements its candidates
// fall short of ("Brechas"); and those gaps added up over the whole plan.

#include "engine/CandidateEmployee.h"
#include "engine/GenerationInputs.h"
#include "engine/ProfileScoring.h"
#include "engine/ResultSchema.h"

#include <QString>
#include <QVariant>
#include <QVector>

#include <atomic>
#include <functional>
#include <optional>

namespace engine {

// One evaluated contract of a node: the result row's values.
struct SuccessionCandidate {
    CandidateEmployee employee;
    EmployeeScore score;   // percentage as the result table stores it, profile rows

    Band band() const { return engine::band(score.percentage); }
    // Surnames and names, trimmed, as a person reads them.
    QString fullName() const;
};

// The summary of one node's traffic light. The map counts people, not contracts: a person (an
// employee code of a company) holding several candidate contracts counts once, with the best of
// his contracts' percentages; the traffic light itself still lists every contract.
struct NodeSummary {
    int node = 0;
    QString positionCode;      // the target position
    int positionCompany = 0;
    QString positionName;      // its name among the active positions, or "NO EXISTE EN BASE DE DATOS"
    // False for the plan's own row (the root without a position): there is nothing to measure,
    // so it has no counts, no best candidate and no band, and stays out of the map's totals.
    bool measured = true;
    int profileRows = 0;       // requirement rows of the target's profile in the ticked categories
    int contracts = 0;         // evaluated contracts (the traffic light's rows)
    int candidates = 0;        // evaluated people
    int green = 0;             // people per band of their best contract
    int yellow = 0;
    int red = 0;
    QString bestName;          // the first candidate with the highest percentage; empty without candidates
    double bestPercentage = 0;
    std::optional<Band> band;  // the best candidate's band; none without candidates
};

// A requirement of a target profile and how the candidates measure up to it. A candidate falls
// short when what the profile row earned him in the generation's scoring is below the row's
// required points; rows without required points are no requirement to fall short of.
struct RequirementGap {
    int company = 0;           // the profile's company, whose names are shown
    QVariant tipRegi;          // category (record type)
    QVariant codRequ;          // requirement
    QVariant codEspe;          // the requirement's detail (COD_ESPE); may be null
    QString categoryName;
    QString requirementName;
    QString detailName;
    int shortCount = 0;        // evaluations that fall short
    int evaluated = 0;         // evaluations of the requirement (a candidate per node and row)
    double averageFulfilment = 0; // obtained over required, each capped at 100 %, averaged, as a percentage
    double fulfilmentSum = 0;  // the sum behind the average (capped ratios), to add gaps up
};
using RequirementGaps = QVector<RequirementGap>;

// One node's part of the map.
struct NodeSuccession {
    int node = 0;
    GenerationInputs inputs;                 // target and candidates as the tree derives them
    QVector<SuccessionCandidate> rows;       // in the result table's order
    NodeSummary summary;
    RequirementGaps gaps;                    // most-missed first
    QString error;                           // the message the node's generation stops with; no rows then
};

struct SuccessionResult {
    int company = 0;
    int plan = 0;
    QString planName;
    QVector<NodeSuccession> nodes;           // nodes with candidates, in node order
    RequirementGaps planGaps;                // every node's gaps added up, most-missed first
    bool cancelled = false;                  // the run stopped before every node was done

    const NodeSuccession *node(int number) const;
    // Every node's traffic-light rows (contracts).
    int rowCount() const;
    // The nodes measured (the plan's own row left out) and the people evaluated on them.
    int measuredNodes() const;
    int evaluatedPeople() const;
};

// What a whole-plan run is asked for, and how it reports and stops.
struct SuccessionRequest {
    Categories categories;
    bool eduSinPuntos = false;
    // Called with the nodes done and the nodes to do, once before the first and after each.
    std::function<void(int done, int total)> progress;
    // Called after each read while the run reads what the nodes need (most of its time on a large
    // company), before the first node is scored: a window keeps painting and sees a cancel.
    std::function<void()> reading;
    // Checked between steps: once set, the run stops and returns what it has, marked cancelled.
    const std::atomic_bool *cancel = nullptr;
};

// The summary of `rows` for the node's target position, whose profile has `profileRows` rows.
NodeSummary summarize(int node, const CompanyPosition &target, const QString &positionName, int profileRows,
                      const QVector<SuccessionCandidate> &rows);
// "Plan (sin cargo)": what the plan's row shows in place of a position name.
const QString &planRowCaption();
// Whether a node is the plan's own row: the root, when the plan's header names no position.
bool isPlanRow(int node, const CompanyPosition &target);
// The summary of a scored node: the plan's own row measures nothing (no counts, no band, named
// "Plan (sin cargo)"); any other node is summarize()d with its position's name and profile rows.
NodeSummary summarizeNode(const NodeSuccession &node, const QString &positionName, int profileRows);

// The average of capped ratios as a percentage with two decimals; 0 without evaluations.
double averageFulfilment(double fulfilmentSum, int evaluated);
// Most-missed first: more evaluations short, then lower average fulfilment, then by codes.
void sortGaps(RequirementGaps &gaps);
// Whether two gaps are one requirement for addGaps().
bool sameRequirement(const RequirementGap &a, const RequirementGap &b);
// Adds `more` into `total`, one entry per requirement: by category, requirement and detail
// names when named, else by the company's codes.
void addGaps(RequirementGaps &total, const RequirementGaps &more);

} // namespace engine
