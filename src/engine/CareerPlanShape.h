#pragma once
// A career plan's tree as the main form draws it, over the plan's rows alone: which node hangs
// under which, and for every node the target position and the candidate positions that a click on
// it followed by "Generación Semaforo" hands the generation. The tree's own ways are kept: rows
// are taken in node order, a row whose parent is not (yet) drawn hangs under the parent of the
// row before it, the root takes every position child while any other node skips the children
// that hold its own position. The window, the command line and the succession map share it.

#include "engine/GenerationInputs.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace engine {

// One row of AC_PPROM as the tree reads it: codes as text (a null reads as empty text), the
// parent as a whole number (a null reads as 0).
struct PlanNodeRow {
    int node = 0;            // COD_NODO; 0 is the plan's header row
    int parent = 0;          // COD_NODP
    QString position;        // COD_CARG
    QString positionCompany; // COD_EMCA
};

// One node of the drawn tree with what the tree derives for it.
struct PlanTreeNode {
    int node = 0;               // COD_NODO; 0 for the root (the plan)
    int treeParent = -1;        // the node it is drawn under; -1 for the root
    QVector<int> children;      // in the order they were drawn
    QString cargoAspira;        // target position
    QString empreAspira;        // the target's company, as text
    QStringList candidatePositions;   // candidate positions, in the order they were drawn
    QStringList candidateCompanies;   // their companies, as text

    bool hasCandidates() const { return !candidatePositions.isEmpty(); }
};

class CareerPlanShape {
public:
    CareerPlanShape() = default;
    // `header` is the plan's row 0; `nodes` its other rows in any order (they are drawn in node
    // order, as the plan's tree query returns them). The root's position and company come from
    // the header row, as when the tree is drawn on the plan's first row.
    CareerPlanShape(const PlanNodeRow &header, QVector<PlanNodeRow> nodes);

    // Which plan the rows are, as whoever read them says.
    void setPlan(int company, int plan, const QString &name);
    int company() const { return m_company; }
    int plan() const { return m_plan; }
    const QString &name() const { return m_name; }

    // The root first, then the nodes in node order.
    const QVector<PlanTreeNode> &nodes() const { return m_nodes; }
    // The node numbered `node`, or null.
    const PlanTreeNode *find(int node) const;
    // The nodes whose candidate list is not empty, in the order of nodes().
    QVector<int> nodesWithCandidates() const;

    // The run a click on `node` and "Generación Semaforo" make, with the ticked categories and
    // the education flag: throws as that run does (no category ticked, no candidate position, a
    // company that is not a whole number), with the same messages.
    GenerationInputs inputs(int node, const Categories &categories, bool eduSinPuntos) const;

private:
    QVector<PlanTreeNode> m_nodes;
    int m_company = 0;
    int m_plan = 0;
    QString m_name;
};

} // namespace engine
