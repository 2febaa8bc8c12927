#include "engine/CareerPlanShape.h"

#include "framework/Exceptions.h"

#include <QHash>
#include <algorithm>

namespace engine {

CareerPlanShape::CareerPlanShape(const PlanNodeRow &header, QVector<PlanNodeRow> nodes)
{
    // The tree's query reads the rows numbered above 0, in node order.
    nodes.erase(std::remove_if(nodes.begin(), nodes.end(), [](const PlanNodeRow &row) { return row.node <= 0; }),
                nodes.end());
    std::stable_sort(nodes.begin(), nodes.end(),
                     [](const PlanNodeRow &a, const PlanNodeRow &b) { return a.node < b.node; });
    // The drawing: each row hangs under the current parent, which changes only when a row names
    // another parent that is already drawn (the key list finds the first node of that number).
    QVector<PlanNodeRow> rows{header};
    rows.reserve(nodes.size() + 1);
    m_nodes.reserve(nodes.size() + 1);
    m_nodes.append(PlanTreeNode{});
    QHash<int, int> drawnAt{{0, 0}};
    int currentParent = 0;
    int previousParentCode = 0;
    for (const PlanNodeRow &row : std::as_const(nodes)) {
        if (row.parent != previousParentCode) {
            previousParentCode = row.parent;
            const auto found = drawnAt.constFind(row.parent);
            if (found != drawnAt.constEnd())
                currentParent = *found;
        }
        PlanTreeNode drawn;
        drawn.node = row.node;
        drawn.treeParent = m_nodes.at(currentParent).node;
        m_nodes[currentParent].children.append(row.node);
        drawnAt.insert(row.node, int(m_nodes.size()));
        m_nodes.append(drawn);
        rows.append(row);
    }
    // The target of a node is its own row's position, its company the node's; the candidates are
    // its position children, except, below the root, those holding the target position.
    for (int at = 0; at < m_nodes.size(); ++at) {
        PlanTreeNode &node = m_nodes[at];
        node.cargoAspira = rows.at(at).position;
        node.empreAspira = rows.at(at).positionCompany;
        const bool root = at == 0;
        for (const int child : std::as_const(node.children)) {
            const PlanNodeRow &childRow = rows.at(drawnAt.value(child));
            if (!root && childRow.position == node.cargoAspira)
                continue;
            node.candidatePositions << childRow.position;
            node.candidateCompanies << childRow.positionCompany;
        }
    }
}

void CareerPlanShape::setPlan(int company, int plan, const QString &name)
{
    m_company = company;
    m_plan = plan;
    m_name = name;
}

const PlanTreeNode *CareerPlanShape::find(int node) const
{
    for (const PlanTreeNode &candidate : m_nodes)
        if (candidate.node == node)
            return &candidate;
    return nullptr;
}

QVector<int> CareerPlanShape::nodesWithCandidates() const
{
    QVector<int> found;
    for (const PlanTreeNode &node : m_nodes)
        if (node.hasCandidates())
            found.append(node.node);
    return found;
}

GenerationInputs CareerPlanShape::inputs(int node, const Categories &categories, bool eduSinPuntos) const
{
    const PlanTreeNode *found = find(node);
    if (!found)
        throw Exception(QStringLiteral("El plan no tiene el nodo %1.").arg(node));
    return inputsFromCodes(found->cargoAspira, found->empreAspira, found->candidatePositions,
                           found->candidateCompanies, categories, eduSinPuntos);
}

} // namespace engine
