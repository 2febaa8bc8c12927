#pragma once
// One named parameter of a remote dataset's statement: its declared type and direction and the
// value sent with the next fetch. Typed setters set the type as well; AsVariant keeps a
// declared type.

#include "protocol/Protocol.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };

class TParam {
public:
    TParam(const QString &name, protocol::FieldType dataType = protocol::FieldType::Unknown,
           TParamType paramType = ptUnknown)
        : Name(name), DataType(dataType), ParamType(paramType) {}

    QString Name;
    protocol::FieldType DataType;
    TParamType ParamType;
    QVariant Value;

    QVariant AsVariant() const { return Value; }
    QString AsString() const;
    int AsInteger() const;
    double AsFloat() const;
    bool IsNull() const { return Value.isNull(); }

    void setAsVariant(const QVariant &value);  // converted to the declared type, if any
    void setAsString(const QString &value);
    void setAsInteger(int value);
    void setAsSmallInt(int value);             // throws EConvertError outside -32768..32767
    void setAsFloat(double value);
    void setAsDateTime(const QDateTime &value);
    void Clear() { Value = QVariant(); }
};
