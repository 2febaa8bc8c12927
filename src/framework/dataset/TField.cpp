#include "framework/dataset/TField.h"

#include "framework/DisplayFormatter.h"
#include "framework/dataset/FieldConvert.h"
#include "framework/dataset/TDataSet.h"

TField::TField(TDataSet *dataSet, const QString &fieldName, protocol::FieldType dataType, int size,
               TFieldKind kind)
    : m_dataSet(dataSet), m_fieldName(fieldName), m_dataType(dataType), m_size(size), m_kind(kind)
{
    if (kind != fkData)
        ProviderFlags = {};
}

int TField::Index() const
{
    return m_dataSet->Fields().indexOf(const_cast<TField *>(this));
}

QString TField::DisplayName() const
{
    return DisplayLabel.isEmpty() ? m_fieldName : DisplayLabel;
}

QString TField::textOf(const QVariant &value, bool display) const
{
    const QString &mask = display ? DisplayFormat : EditFormat;
    if (mask.isEmpty() || value.isNull() || !(fieldconv::isNumeric(value) || value.typeId() == QMetaType::QDate
                                              || value.typeId() == QMetaType::QDateTime))
        return fieldconv::toText(value);
    return DisplayFormatter::formatValue(mask, value);
}

QVariant TField::AsVariant() const
{
    return m_dataSet->fieldValue(this);
}

QString TField::AsString() const
{
    return fieldconv::toText(AsVariant());
}

int TField::AsInteger() const
{
    return int(fieldconv::toInteger(AsVariant(), m_fieldName));
}

double TField::AsFloat() const
{
    return fieldconv::toFloat(AsVariant(), m_fieldName);
}

QDateTime TField::AsDateTime() const
{
    return fieldconv::toDateTime(AsVariant(), m_fieldName);
}

bool TField::IsNull() const
{
    return AsVariant().isNull();
}

void TField::setAsVariant(const QVariant &value)
{
    m_dataSet->setFieldValue(this, value);
}

void TField::setAsString(const QString &value)
{
    setAsVariant(value);
}

void TField::setAsInteger(int value)
{
    setAsVariant(value);
}

void TField::setAsFloat(double value)
{
    setAsVariant(value);
}

void TField::setAsDateTime(const QDateTime &value)
{
    setAsVariant(value);
}

void TField::Clear()
{
    setAsVariant(QVariant());
}
