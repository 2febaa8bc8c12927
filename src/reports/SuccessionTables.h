#pragma once
// The succession map as the window shows and prints it: the computed map of one plan, its
// summary rows ("Mapa de Sucesión", one per node with candidates, with the best candidate's band
// as text) and the gaps ("Brechas") of the node under the summary cursor or of the whole plan.
// The gaps follow the summary cursor while they show a node.

#include "engine/SuccessionResult.h"
#include "framework/dataset/TClientDataSet.h"
#include "framework/dataset/TDataSource.h"

#include <functional>
#include <optional>

class SuccessionTables {
public:
    SuccessionTables();
    SuccessionTables(const SuccessionTables &) = delete;
    SuccessionTables &operator=(const SuccessionTables &) = delete;

    // Shows a computed map: its summary rows, the first one current, and the gaps of the scope
    // chosen before.
    void show(engine::SuccessionResult result);
    // Forgets the map: both tables empty.
    void clear();
    // Whether a map is shown.
    bool hasMap() const { return m_hasMap; }
    const engine::SuccessionResult &result() const { return m_result; }

    // The gaps of the node under the summary cursor (true) or of the whole plan (false).
    void showNodeGaps(bool ofNode);
    bool showsNodeGaps() const { return m_nodeGaps; }
    // The node under the summary cursor; none without rows.
    std::optional<int> currentNode() const;

    // "Verde", "Amarillo" or "Rojo"; empty for a node nobody holds a candidate position of.
    static QString bandCaption(const engine::NodeSummary &summary);

    // Told whenever the node under the summary cursor may have changed (a move, a new map, none).
    std::function<void()> OnNodeChanged;

    TClientDataSet CdsMapaSucesion{QStringLiteral("CdsMapaSucesion")};
    TClientDataSet CdsBrechas{QStringLiteral("CdsBrechas")};
    TDataSource DtsMapaSucesion;
    TDataSource DtsBrechas;

private:
    void refillGaps();

    engine::SuccessionResult m_result;
    bool m_hasMap = false;
    bool m_nodeGaps = true;
};
