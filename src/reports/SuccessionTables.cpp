#include "reports/SuccessionTables.h"

#include "data/DataModuleCatalog.h"
#include "data/SuccessionMap.h"
#include "engine/SuccessionSchema.h"
#include "framework/dataset/TField.h"

namespace {

const QString kCampoBanda = QStringLiteral("DtfBanda");

} // namespace

SuccessionTables::SuccessionTables()
{
    // The band is worked out per row so that a printed map (often in black and white) names it.
    DataModuleCatalog::defineResultFields(CdsMapaSucesion, engine::successionSummaryTable());
    CdsMapaSucesion.AddField(kCampoBanda, protocol::FieldType::String, 10, QStringLiteral("Banda"), fkCalculated);
    CdsMapaSucesion.OnCalcFields = [this](TDataSet *dataSet) {
        const QVariant node = dataSet->FieldByName(engine::successionfield::CodNodo)->AsVariant();
        const engine::NodeSuccession *found = node.isNull() ? nullptr : m_result.node(node.toInt());
        dataSet->FieldByName(kCampoBanda)->setAsString(found ? bandCaption(found->summary) : QString());
    };
    SuccessionMap::createTable(CdsMapaSucesion, engine::successionSummaryTable());
    SuccessionMap::createTable(CdsBrechas, engine::successionGapsTable());
    CdsMapaSucesion.AfterScroll = [this](TDataSet *) {
        if (m_nodeGaps)
            refillGaps();
        if (OnNodeChanged)
            OnNodeChanged();
    };
    DtsMapaSucesion.setDataSet(&CdsMapaSucesion);
    DtsMapaSucesion.AutoEdit = false;
    DtsBrechas.setDataSet(&CdsBrechas);
    DtsBrechas.AutoEdit = false;
}

void SuccessionTables::show(engine::SuccessionResult result)
{
    m_result = std::move(result);
    m_hasMap = true;
    engine::fillSummaryRows(CdsMapaSucesion, m_result);
    refillGaps();
    if (OnNodeChanged)
        OnNodeChanged();
}

void SuccessionTables::clear()
{
    m_result = engine::SuccessionResult();
    m_hasMap = false;
    CdsMapaSucesion.EmptyDataSet();
    CdsBrechas.EmptyDataSet();
    if (OnNodeChanged)
        OnNodeChanged();
}

void SuccessionTables::showNodeGaps(bool ofNode)
{
    m_nodeGaps = ofNode;
    refillGaps();
}

std::optional<int> SuccessionTables::currentNode() const
{
    if (!CdsMapaSucesion.Active() || CdsMapaSucesion.IsEmpty())
        return std::nullopt;
    return CdsMapaSucesion.FieldByName(engine::successionfield::CodNodo)->AsInteger();
}

void SuccessionTables::refillGaps()
{
    if (!m_hasMap) {
        CdsBrechas.EmptyDataSet();
        return;
    }
    if (!m_nodeGaps) {
        engine::fillPlanGapRows(CdsBrechas, m_result);
        return;
    }
    const std::optional<int> node = currentNode();
    const engine::NodeSuccession *found = node ? m_result.node(*node) : nullptr;
    engine::fillGapRows(CdsBrechas, found ? found->gaps : engine::RequirementGaps(), node);
}

QString SuccessionTables::bandCaption(const engine::NodeSummary &summary)
{
    if (!summary.band)
        return QString();
    const QString name = engine::bandName(*summary.band);
    return name.left(1).toUpper() + name.mid(1);
}
