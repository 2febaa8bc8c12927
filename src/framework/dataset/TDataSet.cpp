// TDataSet: fields, open/close, editing and notices. Navigation, search, filter, order and
// calculated fields are in TDataSetCursor.cpp.
#include "framework/dataset/TDataSet.h"

#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"

#include <algorithm>

using protocol::FieldType;
using Kind = protocol::RowDelta::Kind;

TDataSet::TDataSet(const QString &name) : Name(name) {}

TDataSet::~TDataSet()
{
    const QList<TDataLink *> links = m_links;
    for (TDataLink *link : links)
        link->dataSetDestroyed();
}

QString TDataSet::displayName() const
{
    return Name.isEmpty() ? QStringLiteral("(sin nombre)") : Name;
}

void TDataSet::checkActive() const
{
    if (!Active())
        throw EDatabaseError(QStringLiteral("%1: no se puede realizar esta operación en un conjunto "
                                            "de datos cerrado").arg(displayName()));
}

void TDataSet::checkInactive() const
{
    if (Active())
        throw EDatabaseError(QStringLiteral("%1: no se puede realizar esta operación en un conjunto "
                                            "de datos abierto").arg(displayName()));
}

// ---- fields ----

TField *TDataSet::AddField(const QString &name, FieldType type, int size,
                           const QString &displayLabel, TFieldKind kind)
{
    if (size == 0 && fieldconv::isText(type))
        size = 20;
    TField *field = addDynamicField(name, type, size);
    field->m_kind = kind;
    field->m_dynamic = false;
    field->DisplayLabel = displayLabel;
    if (kind != fkData)
        field->ProviderFlags = {};
    reindexFields();
    return field;
}

TField *TDataSet::addDynamicField(const QString &name, FieldType type, int size)
{
    checkInactive();
    if (name.trimmed().isEmpty() || FindField(name))
        throw EDatabaseError(QStringLiteral("%1: nombre de campo '%2' vacío o repetido")
                                 .arg(displayName(), name));
    auto field = std::make_unique<TField>(this, name, type, size, fkData);
    field->FixedChar = type == FieldType::FixedChar;
    field->m_dynamic = true;
    TField *raw = field.get();
    m_ownedFields.push_back(std::move(field));
    reindexFields();
    return raw;
}

void TDataSet::destroyDynamicFields()
{
    m_ownedFields.erase(std::remove_if(m_ownedFields.begin(), m_ownedFields.end(),
                                       [](const auto &f) { return f->m_dynamic; }),
                        m_ownedFields.end());
    reindexFields();
}

bool TDataSet::hasDeclaredFields() const
{
    return std::any_of(m_ownedFields.begin(), m_ownedFields.end(),
                       [](const auto &f) { return !f->m_dynamic; });
}

void TDataSet::reindexFields()
{
    m_fieldList.clear();
    m_dataCount = m_calcCount = 0;
    for (const auto &field : m_ownedFields) {
        field->m_valueIndex = field->m_kind == fkData ? m_dataCount++ : m_calcCount++;
        m_fieldList.append(field.get());
    }
    m_records.clear(); // rows of the old layout no longer fit
    aboutToChangeRows(TRowChange::Reset, -1);
    changedRows(TRowChange::Reset, -1);
    notify(TDataEvent::LayoutChange);
}

TField *TDataSet::FindField(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (TField *field : m_fieldList)
        if (field->FieldName().compare(wanted, Qt::CaseInsensitive) == 0)
            return field;
    return nullptr;
}

TField *TDataSet::FieldByName(const QString &name) const
{
    if (TField *field = FindField(name))
        return field;
    throw EDatabaseError(QStringLiteral("%1: campo '%2' no encontrado").arg(displayName(), name));
}

QList<TField *> TDataSet::fieldsByNames(const QString &names) const
{
    QList<TField *> fields;
    for (const QString &name : names.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!name.trimmed().isEmpty())
            fields.append(FieldByName(name));
    if (fields.isEmpty())
        throw EDatabaseError(QStringLiteral("%1: no se indicó ningún campo").arg(displayName()));
    return fields;
}

std::unique_ptr<TRecord> TDataSet::newRecord() const
{
    auto record = std::make_unique<TRecord>();
    record->values.resize(size_t(m_dataCount));
    record->calc.resize(size_t(m_calcCount));
    return record;
}

// ---- values ----

TRecord *TDataSet::activeRecord()
{
    if (m_calcRecord)
        return m_calcRecord;
    if (m_state == dsInactive || m_cur < 0)
        return nullptr;
    if (m_editBuffer)
        return m_editBuffer.get();
    return recordAtRow(m_cur);
}

QVariant &TDataSet::slotFor(TRecord *record, const TField *field)
{
    auto &cells = field->m_kind == fkData ? record->values : record->calc;
    return cells[size_t(field->m_valueIndex)];
}

QVariant TDataSet::fieldValue(const TField *field)
{
    TRecord *record = activeRecord();
    return record ? recordValue(record, field) : QVariant();
}

void TDataSet::setFieldValue(TField *field, const QVariant &value)
{
    checkActive();
    const bool dataField = field->m_kind == fkData;
    const bool editing = m_state == dsEdit || m_state == dsInsert;
    if (dataField ? !editing : m_state == dsBrowse)
        throw EDatabaseError(QStringLiteral("%1: el conjunto de datos no está en modo de edición o "
                                            "inserción (campo '%2')").arg(displayName(), field->FieldName()));
    const QVariant stored = fieldconv::toStorage(value, field->DataType(), field->Size(), field->FieldName());
    TRecord *record = activeRecord();
    const QVariant old = slotFor(record, field);
    slotFor(record, field) = stored;
    if (field->OnValidate) {
        const auto validate = field->OnValidate; // the handler may replace itself
        try {
            validate(field);
        } catch (...) {
            slotFor(record, field) = old;
            throw;
        }
    }
    const bool calculating = m_state == dsCalcFields;
    if (dataField && !calculating) {
        m_modified = true;
        record->calcValid = false;
    }
    if (field->OnChange) {
        const auto change = field->OnChange;
        change(field);
    }
    if (!calculating)
        notify(TDataEvent::FieldChange, field);
}

// ---- open and close ----

void TDataSet::setActive(bool active)
{
    if (active)
        Open();
    else
        Close();
}

void TDataSet::Open()
{
    if (Active())
        return;
    fire(BeforeOpen);
    try {
        doOpen();
        m_records.forEach([](TRecord &record) { record.calcValid = false; }); // kept rows too
        applyOrderAndFilter();
    } catch (...) {
        m_records.clear();
        doClose();
        throw;
    }
    aboutToChangeRows(TRowChange::Reset, -1);
    m_state = dsBrowse;
    m_cur = rowCount() > 0 ? 0 : -1;
    m_bof = true;
    m_eof = m_cur < 0;
    m_modified = false;
    changedRows(TRowChange::Reset, -1);
    notify(TDataEvent::UpdateState);
    notify(TDataEvent::DataSetChange);
    ensureCalculated(activeRecord());
    fire(AfterOpen);
    if (!IsEmpty())
        fire(AfterScroll);
}

void TDataSet::Close()
{
    if (!Active())
        return;
    fire(BeforeClose);
    aboutToChangeRows(TRowChange::Reset, -1);
    m_editBuffer.reset();
    m_insertRecord.reset();
    m_insertRow = -1;
    m_insertBefore = nullptr;
    m_state = dsInactive;
    m_cur = -1;
    m_eof = m_bof = true;
    m_modified = false;
    doClose();
    changedRows(TRowChange::Reset, -1);
    notify(TDataEvent::UpdateState);
    fire(AfterClose);
}

void TDataSet::discardRows()
{
    checkActive();
    aboutToChangeRows(TRowChange::Reset, -1);
    m_editBuffer.reset();
    m_insertRecord.reset();
    m_insertRow = -1;
    m_insertBefore = nullptr;
    m_records.clear();
    m_cur = -1;
    m_eof = m_bof = true;
    m_modified = false;
    changedRows(TRowChange::Reset, -1);
    setState(dsBrowse);
    notify(TDataEvent::DataSetChange);
}

// ---- editing ----

void TDataSet::Append()
{
    insertRow(true);
}

void TDataSet::Insert()
{
    insertRow(false);
}

void TDataSet::insertRow(bool append)
{
    checkActive();
    checkBrowseMode();
    fire(BeforeInsert);
    fire(BeforeScroll);
    const int row = append || m_cur < 0 ? rowCount() : m_cur;
    m_savedRow = m_cur;
    aboutToChangeRows(TRowChange::Inserted, row);
    m_insertBefore = row < rowCount() ? recordAtRow(row) : nullptr;
    m_insertRecord = newRecord();
    m_insertRow = row;
    m_cur = row;
    m_eof = m_bof = false;
    changedRows(TRowChange::Inserted, row);
    setState(dsInsert);
    try {
        fire(OnNewRecord);
    } catch (...) {
        cancelInsertRow();
        setState(dsBrowse);
        throw;
    }
    m_modified = false; // defaults alone do not make a row worth posting
    notify(TDataEvent::DataSetChange);
    fire(AfterInsert);
    fire(AfterScroll);
}

void TDataSet::cancelInsertRow()
{
    const int row = m_insertRow;
    aboutToChangeRows(TRowChange::Removed, row);
    m_insertRecord.reset();
    m_insertRow = -1;
    m_insertBefore = nullptr;
    m_cur = std::min(m_savedRow, rowCount() - 1);
    m_eof = m_bof = m_cur < 0;
    changedRows(TRowChange::Removed, row);
}

void TDataSet::Edit()
{
    checkActive();
    if (m_state == dsEdit || m_state == dsInsert)
        return;
    if (IsEmpty()) {
        Append();
        return;
    }
    fire(BeforeEdit);
    m_editBuffer = std::make_unique<TRecord>(*recordAtRow(m_cur));
    m_modified = false;
    setState(dsEdit);
    notify(TDataEvent::RecordChange);
    fire(AfterEdit);
}

void TDataSet::checkRequired()
{
    for (TField *field : m_fieldList)
        if (field->Required && field->m_kind == fkData && field->IsNull())
            throw EDatabaseError(QStringLiteral("%1: el campo '%2' debe tener un valor")
                                     .arg(displayName(), field->DisplayName()));
}

void TDataSet::UpdateRecord()
{
    if (m_state != dsEdit && m_state != dsInsert)
        throw EDatabaseError(QStringLiteral("%1: no está en edición").arg(displayName()));
    notify(TDataEvent::UpdateRecord);
}

void TDataSet::Post()
{
    checkActive();
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    UpdateRecord();
    if (m_state != dsEdit && m_state != dsInsert)
        return; // a control's store ended the edit
    fire(BeforePost);
    if (m_state != dsEdit && m_state != dsInsert)
        return; // the handler cancelled
    checkRequired();
    if (m_state == dsInsert) {
        applyUpdate(Kind::Insert, nullptr, m_insertRecord.get());
        commitInsert();
    } else {
        applyUpdate(Kind::Update, recordAtRow(m_cur), m_editBuffer.get());
        commitEdit();
    }
    m_modified = false;
    m_eof = m_bof = m_cur < 0;
    setState(dsBrowse);
    ensureCalculated(activeRecord());
    notify(TDataEvent::DataSetChange);
    fire(AfterPost);
}

// The pending row leaves the view; the stored row takes its place in order (often the same).
void TDataSet::commitInsert()
{
    TRecord *record = m_insertRecord.get();
    const TRecord *before = m_insertBefore;
    const int oldRow = m_insertRow;
    const int newRow = m_records.prepare(*record, before);
    record->calcValid = false;
    if (newRow == oldRow) {
        m_insertRow = -1;
        m_insertBefore = nullptr;
        m_records.add(std::move(m_insertRecord), before, newRow);
        return;
    }
    aboutToChangeRows(TRowChange::Removed, oldRow);
    std::unique_ptr<TRecord> owned = std::move(m_insertRecord);
    m_insertRow = -1;
    m_insertBefore = nullptr;
    m_cur = std::min(oldRow, rowCount() - 1);
    changedRows(TRowChange::Removed, oldRow);
    if (newRow < 0) {
        m_records.add(std::move(owned), before, -1);
        return;
    }
    aboutToChangeRows(TRowChange::Inserted, newRow);
    m_records.add(std::move(owned), before, newRow);
    m_cur = newRow;
    changedRows(TRowChange::Inserted, newRow);
}

void TDataSet::commitEdit()
{
    TRecord *record = recordAtRow(m_cur);
    const int oldRow = m_cur;
    record->values = std::move(m_editBuffer->values);
    record->calcValid = false;
    m_editBuffer.reset();
    const int newRow = m_records.positionAfterChange(*record);
    if (newRow == oldRow)
        return;
    aboutToChangeRows(TRowChange::Removed, oldRow);
    m_records.hide(oldRow);
    m_cur = std::min(oldRow, rowCount() - 1);
    changedRows(TRowChange::Removed, oldRow);
    if (newRow < 0)
        return;
    aboutToChangeRows(TRowChange::Inserted, newRow);
    m_records.show(newRow, record);
    m_cur = newRow;
    changedRows(TRowChange::Inserted, newRow);
}

void TDataSet::Cancel()
{
    checkActive();
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    fire(BeforeCancel);
    const bool wasInsert = m_state == dsInsert;
    if (wasInsert) {
        fire(BeforeScroll);
        cancelInsertRow();
    }
    m_editBuffer.reset();
    m_modified = false;
    setState(dsBrowse);
    ensureCalculated(activeRecord());
    notify(TDataEvent::DataSetChange);
    fire(AfterCancel);
    if (wasInsert)
        fire(AfterScroll);
}

void TDataSet::Delete()
{
    checkActive();
    if (m_state == dsInsert) {
        Cancel();
        return;
    }
    if (IsEmpty())
        throw EDatabaseError(QStringLiteral("%1: no se puede eliminar, el conjunto de datos está vacío")
                                 .arg(displayName()));
    fire(BeforeDelete);
    fire(BeforeScroll);
    TRecord *record = recordAtRow(m_cur);
    applyUpdate(Kind::Delete, record, nullptr);
    m_editBuffer.reset();
    const int row = m_cur;
    aboutToChangeRows(TRowChange::Removed, row);
    m_records.remove(record);
    m_cur = std::min(row, rowCount() - 1);
    m_eof = m_bof = m_cur < 0;
    changedRows(TRowChange::Removed, row);
    m_modified = false;
    setState(dsBrowse);
    ensureCalculated(activeRecord());
    notify(TDataEvent::DataSetChange);
    fire(AfterDelete);
    fire(AfterScroll);
}

void TDataSet::checkBrowseMode()
{
    if (m_state != dsEdit && m_state != dsInsert)
        return;
    if (m_modified)
        Post();
    else
        Cancel();
}

void TDataSet::applyUpdate(Kind, const TRecord *, const TRecord *) {}

// ---- notices ----

void TDataSet::setState(TDataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    notify(TDataEvent::UpdateState);
}

void TDataSet::fire(const TDataSetNotifyEvent &event)
{
    if (!event)
        return;
    const TDataSetNotifyEvent handler = event; // the handler may detach itself
    handler(this);
}

void TDataSet::attachLink(TDataLink *link)
{
    if (!m_links.contains(link))
        m_links.append(link);
}

void TDataSet::detachLink(TDataLink *link)
{
    m_links.removeAll(link);
}

void TDataSet::notify(TDataEvent event, TField *field)
{
    if (m_disableCount > 0)
        return;
    const QList<TDataLink *> links = m_links;
    for (TDataLink *link : links)
        if (m_links.contains(link))
            link->dataEvent(event, field);
}

void TDataSet::aboutToChangeRows(TRowChange change, int row)
{
    if (m_disableCount > 0)
        return;
    const QList<TDataLink *> links = m_links;
    for (TDataLink *link : links)
        link->rowsAboutToChange(change, row);
}

void TDataSet::changedRows(TRowChange change, int row)
{
    if (m_disableCount > 0)
        return;
    const QList<TDataLink *> links = m_links;
    for (TDataLink *link : links)
        link->rowsChanged(change, row);
}

void TDataSet::DisableControls()
{
    ++m_disableCount;
}

void TDataSet::EnableControls()
{
    if (m_disableCount == 0 || --m_disableCount > 0)
        return;
    aboutToChangeRows(TRowChange::Reset, -1);
    changedRows(TRowChange::Reset, -1);
    notify(TDataEvent::UpdateState);
    notify(TDataEvent::DataSetChange);
}
