#pragma once
// One column of a dataset: its definition (name, type, size, label, kind, provider flags) and
// typed access to its value in the dataset's active row. The values live in the dataset; a field
// reads and writes them there, running OnValidate before a value is stored and OnChange after.

#include "protocol/Protocol.h"

#include <QDateTime>
#include <QFlags>
#include <QString>
#include <QVariant>
#include <functional>

class TDataSet;

enum TFieldKind { fkData, fkCalculated, fkLookup };

enum TProviderFlag { pfInUpdate = 0x1, pfInWhere = 0x2, pfInKey = 0x4, pfHidden = 0x8 };
Q_DECLARE_FLAGS(TProviderFlags, TProviderFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TProviderFlags)

class TField {
public:
    using TFieldNotifyEvent = std::function<void(TField *)>;

    TField(TDataSet *dataSet, const QString &fieldName, protocol::FieldType dataType, int size,
           TFieldKind kind);

    TDataSet *DataSet() const { return m_dataSet; }
    const QString &FieldName() const { return m_fieldName; }
    protocol::FieldType DataType() const { return m_dataType; }
    int Size() const { return m_size; }
    TFieldKind FieldKind() const { return m_kind; }
    int Index() const;                 // position among the dataset's fields
    QString DisplayName() const;       // DisplayLabel, or FieldName when there is none

    bool FixedChar = false;
    QString DisplayLabel;
    int DisplayWidth = 0;
    TProviderFlags ProviderFlags = pfInUpdate | pfInWhere;
    bool Required = false;
    bool Visible = true;
    bool ReadOnly = false;
    int Tag = 0;
    // Masks of the display formatter: how grids and reports show the value, and how an edit
    // shows it while the user types (plain text when there is no edit mask).
    QString DisplayFormat;
    QString EditFormat;

    // Look-up fields: KeyFields of this dataset matched against LookupKeyFields of
    // LookupDataSet (both ";"-separated); the value is LookupResultField of the matching row.
    TDataSet *LookupDataSet = nullptr;
    QString LookupKeyFields;
    QString LookupResultField;
    QString KeyFields;

    // OnValidate sees the new value through the field; if it throws, the old value stays.
    TFieldNotifyEvent OnValidate;
    TFieldNotifyEvent OnChange;

    // The value of the active row, or any value of this field, as a grid or an edit shows it.
    QString DisplayText() const { return textOf(AsVariant(), true); }
    QString EditText() const { return textOf(AsVariant(), false); }
    QString textOf(const QVariant &value, bool display) const;

    QVariant AsVariant() const;
    QString AsString() const;
    int AsInteger() const;
    double AsFloat() const;
    QDateTime AsDateTime() const;
    bool IsNull() const;

    // Setters need the dataset in edit or insert state (EDatabaseError otherwise); a value that
    // does not convert to the field's type throws EConvertError and changes nothing.
    void setAsVariant(const QVariant &value);
    void setAsString(const QString &value);
    void setAsInteger(int value);
    void setAsFloat(double value);
    void setAsDateTime(const QDateTime &value);
    void Clear();

private:
    friend class TDataSet;

    TDataSet *m_dataSet;
    QString m_fieldName;
    protocol::FieldType m_dataType;
    int m_size;
    TFieldKind m_kind;
    int m_valueIndex = -1;   // slot in the row's stored values, or in its calculated values
    bool m_dynamic = false;  // created from the server's description, not declared in code
};
