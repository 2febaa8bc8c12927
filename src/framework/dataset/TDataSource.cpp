#include "framework/dataset/TDataSource.h"

TDataSource::TDataSource(TDataSet *dataSet)
{
    setDataSet(dataSet);
}

TDataSource::~TDataSource()
{
    if (m_dataSet)
        m_dataSet->detachLink(this);
}

void TDataSource::setDataSet(TDataSet *dataSet)
{
    if (m_dataSet == dataSet)
        return;
    if (m_dataSet)
        m_dataSet->detachLink(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->attachLink(this);
    dataEvent(TDataEvent::UpdateState, nullptr);
}

void TDataSource::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    dataEvent(TDataEvent::UpdateState, nullptr);
}

TDataSetState TDataSource::State() const
{
    return m_dataSet && m_enabled ? m_dataSet->State() : dsInactive;
}

bool TDataSource::Edit()
{
    if (AutoEdit && State() == dsBrowse)
        m_dataSet->Edit();
    return State() == dsEdit || State() == dsInsert;
}

void TDataSource::dataEvent(TDataEvent event, TField *field)
{
    if (!m_enabled && event != TDataEvent::UpdateState)
        return;
    if (event == TDataEvent::UpdateState) {
        if (OnStateChange) {
            const auto handler = OnStateChange;
            handler(this);
        }
        return;
    }
    if (event == TDataEvent::UpdateRecord) {
        if (OnUpdateData) {
            const auto handler = OnUpdateData;
            handler(this);
        }
        return;
    }
    if (State() == dsInactive || event == TDataEvent::LayoutChange || !OnDataChange)
        return;
    const auto handler = OnDataChange;
    handler(this, event == TDataEvent::FieldChange ? field : nullptr);
}

void TDataSource::dataSetDestroyed()
{
    m_dataSet = nullptr;
}
