#pragma once
// The kinds of value the statement catalogue gives its parameters, slots and searchable columns,
// and the one conversion of a request's value to its kind: the catalogue, never the request,
// says what a value is. A company is a whole number of the small-integer range; a Boolean,
// a list or a fraction is no whole number, whatever the request calls it.

#include <QString>
#include <QVariant>

namespace appserver {

enum class ValueKind { Company, Integer, Number, Text, Texts, Date };

// "company", "integer", "number", "text", "texts", "date"; false for any other name.
bool valueKindFromName(const QString &name, ValueKind *kind);
QString valueKindName(ValueKind kind);

// `value` as `kind` wants it: a qlonglong, a double, a QString, a QStringList (at least one
// text) or a QDate (a date, a date and time, or "yyyy-MM-dd..." text). Null stays null. False
// with `why` (Spanish, for the user) when the value is not of that kind.
bool toCatalogValue(const QVariant &value, ValueKind kind, QVariant *out, QString *why);

} // namespace appserver
