#pragma once
// The succession map as tables: the summary of every node ("Mapa de Sucesión") and the gaps
// ("Brechas") with their fields in order, labels and formats, so that the grids, the printer,
// the worksheet and the reports read one definition; and the filling of datasets made from them.

#include "engine/ResultSchema.h"
#include "engine/SuccessionResult.h"

class TClientDataSet;

namespace engine {

namespace successionfield {
inline constexpr QLatin1String CodNodo("COD_NODO");
inline constexpr QLatin1String CodCarg("COD_CARG");
inline constexpr QLatin1String CodEmca("COD_EMCA");
inline constexpr QLatin1String NomCarg("NOM_CARG");
inline constexpr QLatin1String NumPerf("NUM_PERF");
inline constexpr QLatin1String NumCand("NUM_CAND");
inline constexpr QLatin1String NumVerd("NUM_VERD");
inline constexpr QLatin1String NumAmar("NUM_AMAR");
inline constexpr QLatin1String NumRojo("NUM_ROJO");
inline constexpr QLatin1String NomMejo("NOM_MEJO");
inline constexpr QLatin1String PorMejo("POR_MEJO");
inline constexpr QLatin1String TipRegi("TIP_REGI");
inline constexpr QLatin1String NomRegi("NOM_REGI");
inline constexpr QLatin1String CodRequ("COD_REQU");
inline constexpr QLatin1String NomRequ("NOM_REQU");
inline constexpr QLatin1String CodEspe("COD_ESPE");
inline constexpr QLatin1String NomEspe("NOM_ESPE");
inline constexpr QLatin1String NumFalt("NUM_FALT");
inline constexpr QLatin1String NumEval("NUM_EVAL");
inline constexpr QLatin1String PorCump("POR_CUMP");
inline constexpr QLatin1String LisNodo("LIS_NODO");
} // namespace successionfield

// "Mapa de Sucesión": the page's and the report's title.
const QString &successionTitle();
// "Brechas".
const QString &gapsTitle();

// CdsMapaSucesion: one row per node with candidates; rows are coloured by the best percentage.
// Candidates and band counts are people (each by his best contract); the plan's own row names
// "Plan (sin cargo)" and has no figures.
const ResultTable &successionSummaryTable();
// CdsBrechas: one row per requirement, most-missed first; LIS_NODO ("Nodos") names the nodes
// whose candidates fall short of it ("3, 5, 11"): for one node's gaps that node, which says
// nothing beside the node itself, so that a view of one node's gaps leaves the column out
// (nodeGapsTable()). Rows are coloured by the average fulfilment.
const ResultTable &successionGapsTable();
// The gaps table without LIS_NODO, for the gaps of one node.
const ResultTable &nodeGapsTable();
// A category's name as the gaps show it, as a sentence ("Competencias organizacionales" for
// "COMPETENCIAS ORGANIZACIONALES "): trimmed, the first letter capital, the rest small.
QString gapCategoryCaption(const QString &name);
// The nodes of `result` whose candidates fall short of `gap` (one of the plan's gaps), in node
// order, as LIS_NODO writes them.
QString shortNodes(const SuccessionResult &result, const RequirementGap &gap);
// Either of the two by dataset name, or null.
const ResultTable *successionTable(const QString &dataSetName);
// What "Cumplimiento Promedio" means, for the grid's header and the report's footnote.
const QString &fulfilmentCapNote();

// Each fill empties the dataset, appends its rows with the dataset's after-scroll handler
// detached, attaches it again and makes the first row current.
// Empties `dataSet` (a dataset with the summary table's fields) and fills one row per node.
void fillSummaryRows(TClientDataSet &dataSet, const SuccessionResult &result);
// Empties `dataSet` (the gaps table's fields) and fills `gaps`; `node` goes into LIS_NODO, or
// nothing when it is none.
void fillGapRows(TClientDataSet &dataSet, const RequirementGaps &gaps, std::optional<int> node = std::nullopt);
// The same with the plan's gaps of `result`, each with its shortNodes().
void fillPlanGapRows(TClientDataSet &dataSet, const SuccessionResult &result);
// Empties `dataSet` (the traffic-light result table's fields, CdsAcSemaf) and fills the node's
// rows exactly as "Generación Semaforo" appends them.
void fillTrafficLightRows(TClientDataSet &dataSet, const NodeSuccession &node);

} // namespace engine
