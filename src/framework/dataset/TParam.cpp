#include "framework/dataset/TParam.h"

#include "framework/dataset/FieldConvert.h"

using protocol::FieldType;

QString TParam::AsString() const
{
    return fieldconv::toText(Value);
}

int TParam::AsInteger() const
{
    return int(fieldconv::toInteger(Value, Name));
}

double TParam::AsFloat() const
{
    return fieldconv::toFloat(Value, Name);
}

void TParam::setAsVariant(const QVariant &value)
{
    if (DataType == FieldType::Unknown) {
        Value = value;
        return;
    }
    // Parameters keep their text as given (no size to cut to, an empty text stays a text).
    if (fieldconv::isText(DataType) && !value.isNull())
        Value = fieldconv::toText(value);
    else
        Value = fieldconv::toStorage(value, DataType, 0, Name);
}

void TParam::setAsString(const QString &value)
{
    DataType = FieldType::String;
    Value = value;
}

void TParam::setAsInteger(int value)
{
    DataType = FieldType::Integer;
    Value = value;
}

void TParam::setAsSmallInt(int value)
{
    Value = fieldconv::toStorage(value, FieldType::Smallint, 0, Name);
    DataType = FieldType::Smallint;
}

void TParam::setAsFloat(double value)
{
    DataType = FieldType::Float;
    Value = value;
}

void TParam::setAsDateTime(const QDateTime &value)
{
    DataType = FieldType::DateTime;
    Value = value;
}
