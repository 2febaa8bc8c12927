#include "framework/dataset/TDataSetModel.h"

#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"
#include "framework/dataset/TDataSet.h"

TDataSetModel::TDataSetModel(TDataSet *dataSet, QObject *parent) : QAbstractTableModel(parent)
{
    setDataSet(dataSet);
}

TDataSetModel::~TDataSetModel()
{
    if (m_dataSet)
        m_dataSet->detachLink(this);
}

void TDataSetModel::setDataSet(TDataSet *dataSet)
{
    beginResetModel();
    if (m_dataSet)
        m_dataSet->detachLink(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->attachLink(this);
    readColumns();
    endResetModel();
}

void TDataSetModel::refresh()
{
    beginResetModel();
    readColumns();
    endResetModel();
}

void TDataSetModel::readColumns()
{
    m_columns.clear();
    m_rows = m_dataSet ? m_dataSet->rowCount() : 0;
    m_current = m_dataSet ? m_dataSet->currentRow() : -1;
    if (!m_dataSet)
        return;
    if (!m_fieldNames.isEmpty()) {
        for (const QString &name : m_fieldNames)
            if (TField *field = m_dataSet->FindField(name))
                m_columns.append(field);
        return;
    }
    for (TField *field : m_dataSet->Fields())
        if (field->Visible)
            m_columns.append(field);
}

void TDataSetModel::setFieldNames(const QStringList &names)
{
    m_fieldNames = names;
    refresh();
}

void TDataSetModel::setColumnHint(const QString &fieldName, const QString &hint)
{
    if (hint.isEmpty())
        m_hints.remove(fieldName.toUpper());
    else
        m_hints.insert(fieldName.toUpper(), hint);
    const int column = columnOf(fieldName);
    if (column >= 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
}

void TDataSetModel::setColumnTitle(const QString &fieldName, const QString &title)
{
    m_titles.insert(fieldName.toUpper(), title);
    const int column = columnOf(fieldName);
    if (column >= 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
}

void TDataSetModel::setColumnReadOnly(const QString &fieldName, bool readOnly)
{
    if (readOnly)
        m_readOnly.insert(fieldName.toUpper());
    else
        m_readOnly.remove(fieldName.toUpper());
}

TField *TDataSetModel::fieldAt(int column) const
{
    return column >= 0 && column < m_columns.size() ? m_columns.at(column) : nullptr;
}

int TDataSetModel::columnOf(const QString &fieldName) const
{
    for (int c = 0; c < m_columns.size(); ++c)
        if (m_columns.at(c)->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

int TDataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TDataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns.size();
}

QVariant TDataSetModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || !m_dataSet)
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::TextAlignmentRole)
        return {};
    TField *field = m_columns.at(index.column());
    try {
        const QVariant value = m_dataSet->rowValue(index.row(), field);
        if (role == Qt::TextAlignmentRole)
            return fieldconv::isNumeric(value) ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
        return role == Qt::DisplayRole ? QVariant(field->textOf(value, true)) : value;
    } catch (const Exception &e) {
        // A failing calculation must not escape into the view's paint.
        m_lastError = e.Message();
        return {};
    }
}

QVariant TDataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal) {
        const TField *field = fieldAt(section);
        const QString hint = field ? m_hints.value(field->FieldName().toUpper()) : QString();
        return hint.isEmpty() ? QVariant() : QVariant(hint);
    }
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    TField *field = fieldAt(section);
    if (!field)
        return {};
    const QString title = m_titles.value(field->FieldName().toUpper());
    return title.isEmpty() ? field->DisplayName() : title;
}

Qt::ItemFlags TDataSetModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    TField *field = index.isValid() ? fieldAt(index.column()) : nullptr;
    if (m_editable && field && field->FieldKind() == fkData && !field->ReadOnly
        && !m_readOnly.contains(field->FieldName().toUpper()))
        result |= Qt::ItemIsEditable;
    return result;
}

bool TDataSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)
        || !(flags(index) & Qt::ItemIsEditable))
        return false;
    try {
        TField *field = m_columns.at(index.column());
        m_dataSet->moveToRow(index.row());
        m_dataSet->Edit();
        field->setAsVariant(value);
        return true;
    } catch (const Exception &e) {
        m_lastError = e.Message();
        emit editFailed(e.Message());
        return false;
    }
}

void TDataSetModel::followCursor()
{
    const int row = m_dataSet ? m_dataSet->currentRow() : -1;
    if (row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(row);
}

void TDataSetModel::dataEvent(TDataEvent event, TField *field)
{
    if (event == TDataEvent::UpdateRecord) {
        if (OnUpdateRecord)
            OnUpdateRecord();
        return;
    }
    changeRows(event, field);
    followCursor();
    if (event == TDataEvent::UpdateState)
        emit stateChanged();
    else if (event == TDataEvent::DataSetScroll || event == TDataEvent::DataSetChange)
        emit scrolled();
}

void TDataSetModel::changeRows(TDataEvent event, TField *)
{
    if (m_rows == 0 || m_columns.isEmpty())
        return;
    const int current = m_dataSet->currentRow();
    switch (event) {
    case TDataEvent::FieldChange:
    case TDataEvent::RecordChange:
        if (current >= 0 && current < m_rows) // calculated columns may follow any field
            emit dataChanged(index(current, 0), index(current, m_columns.size() - 1));
        break;
    case TDataEvent::DataSetChange:
        emit dataChanged(index(0, 0), index(m_rows - 1, m_columns.size() - 1));
        break;
    default:
        break;
    }
}

void TDataSetModel::rowsAboutToChange(TRowChange change, int row)
{
    switch (change) {
    case TRowChange::Reset:
        if (!m_resetting) {
            m_resetting = true;
            beginResetModel();
        }
        break;
    case TRowChange::Inserted:
        beginInsertRows(QModelIndex(), row, row);
        break;
    case TRowChange::Removed:
        beginRemoveRows(QModelIndex(), row, row);
        break;
    }
}

void TDataSetModel::rowsChanged(TRowChange change, int)
{
    switch (change) {
    case TRowChange::Reset:
        readColumns();
        if (m_resetting) {
            m_resetting = false;
            endResetModel();
        }
        break;
    case TRowChange::Inserted:
        ++m_rows;
        endInsertRows();
        break;
    case TRowChange::Removed:
        --m_rows;
        endRemoveRows();
        break;
    }
}

void TDataSetModel::dataSetDestroyed()
{
    beginResetModel();
    m_dataSet = nullptr;
    readColumns();
    endResetModel();
}
