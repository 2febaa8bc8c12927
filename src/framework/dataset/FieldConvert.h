#pragma once
// Conversions shared by fields, parameters, filters and searches: a value brought to the storage
// form of a field type, read back as text, integer, float or date, and two values compared.

#include "protocol/Protocol.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace fieldconv {

// The value as a field of that type stores it. Null and empty text give null; text longer than
// size (when size > 0) is cut. `what` names the field or parameter in error messages.
// Throws EConvertError when the value does not convert.
QVariant toStorage(const QVariant &value, protocol::FieldType type, int size, const QString &what);
// A fetched cell as a field described by `field` stores it: toStorage(cells.value(column), ...),
// without the variant in between for the values that already have their field's form.
QVariant storedCell(const protocol::RowCells &cells, int column, const protocol::FieldDesc &field);

QString toText(const QVariant &value);
qint64 toInteger(const QVariant &value, const QString &what);
double toFloat(const QVariant &value, const QString &what);
QDateTime toDateTime(const QVariant &value, const QString &what);
bool toBoolean(const QVariant &value, const QString &what);

bool isNumeric(const QVariant &value);
bool isText(protocol::FieldType type);

// Three-way comparison; null sorts first. Numbers compare as numbers (a text that reads as a
// number against a number too), dates as dates, anything else as text.
int compare(const QVariant &a, const QVariant &b, bool caseInsensitive = false);

// The field type that naturally holds a value (for untyped parameters).
protocol::FieldType typeOf(const QVariant &value);

} // namespace fieldconv
