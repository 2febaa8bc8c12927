#include "framework/widgets/TDBEdit.h"

#include "framework/widgets/ErrorGuard.h"
#include "framework/Exceptions.h"
#include "framework/dataset/TDataSource.h"

#include <QKeyEvent>

TDBEdit::TDBEdit(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this](const QString &typed) {
        if (m_typed)
            return;
        // Marked first: starting the edit notifies this edit, which must keep what was typed.
        m_typed = true;
        const int cursor = cursorPosition();
        TField *field = Field();
        const bool editable = field && m_source && !field->ReadOnly
                              && ErrorGuard::run([this] { if (!m_source->Edit()) throw EAbort(); });
        if (!editable) {
            m_typed = false;
            showField();
            return;
        }
        // On an empty list the edit starts by appending a row, and moving to that row shows its
        // empty field: the text typed so far is put back.
        m_typed = true;
        if (text() != typed) {
            setText(typed);
            setCursorPosition(cursor);
        }
    });
}

TDBEdit::~TDBEdit()
{
    if (m_dataSet)
        m_dataSet->detachLink(this);
}

void TDBEdit::setDataSource(TDataSource *source)
{
    m_source = source;
    bindDataSet(source ? source->DataSet() : nullptr);
}

void TDBEdit::setDataField(const QString &fieldName)
{
    m_fieldName = fieldName;
    showField();
}

TField *TDBEdit::Field() const
{
    return m_dataSet && !m_fieldName.isEmpty() ? m_dataSet->FindField(m_fieldName) : nullptr;
}

void TDBEdit::bindDataSet(TDataSet *dataSet)
{
    if (m_dataSet)
        m_dataSet->detachLink(this);
    m_dataSet = dataSet;
    if (m_dataSet)
        m_dataSet->attachLink(this);
    showField();
}

bool TDBEdit::UpdateRecord()
{
    return ErrorGuard::run([this] { storeTyped(); });
}

// Stores the typed text in the field; the field's refusal passes on, the text staying typed.
void TDBEdit::storeTyped()
{
    TField *field = Field();
    if (!m_typed || !field)
        return;
    if (m_dataSet->State() != dsEdit && m_dataSet->State() != dsInsert) {
        // The edit of the row ended (a cancel or a post) before this edit heard of it, and the
        // focus left it meanwhile: what was typed is gone with the edit.
        m_typed = false;
        showField();
        return;
    }
    const QString typed = text();
    m_storing = true;
    try {
        field->setAsString(typed);
    } catch (...) {
        m_storing = false;
        setText(typed);
        throw;
    }
    m_storing = false;
    m_typed = false;
    showField();
}

void TDBEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!m_typed)
        showField();
}

void TDBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    UpdateRecord();
}

void TDBEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_typed) {
        m_typed = false;
        showField();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        UpdateRecord();
    QLineEdit::keyPressEvent(event);
}

void TDBEdit::dataEvent(TDataEvent event, TField *field)
{
    if (m_storing || event == TDataEvent::UpdateState)
        return;
    if (event == TDataEvent::UpdateRecord) {
        storeTyped();
        return;
    }
    if (event == TDataEvent::FieldChange && field != Field())
        return;
    // The row changed under the edit (a scroll, a post, a cancel): what was typed is gone.
    const bool editing = m_dataSet->State() == dsEdit || m_dataSet->State() == dsInsert;
    if (event == TDataEvent::DataSetScroll || event == TDataEvent::DataSetChange
        || event == TDataEvent::LayoutChange || (event == TDataEvent::RecordChange && !editing))
        m_typed = false;
    if (!m_typed)
        showField();
}

void TDBEdit::dataSetDestroyed()
{
    m_dataSet = nullptr;
    showField();
}

void TDBEdit::showField()
{
    TField *field = Field();
    QString shown;
    if (field && m_dataSet->Active() && (!m_dataSet->IsEmpty() || m_dataSet->State() == dsInsert))
        shown = hasFocus() ? field->EditText() : field->DisplayText();
    if (shown != text())
        setText(shown);
    if (field && field->Size() > 0 && field->DataType() == protocol::FieldType::String)
        setMaxLength(field->Size());
}
