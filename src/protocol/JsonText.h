#pragma once
// JSON text written straight into a byte string, for the messages of thousands of rows (a
// fetch's answer, a save's block of new rows) where a document of one array per row costs more
// than everything else about them. Texts are written as UTF-8 with JSON's escapes; whole numbers
// as integers.

#include <QJsonValue>
#include <QString>

#include <string>

namespace protocol::jsontext {

void writeString(const QString &text, std::string &out);
void writeInteger(qint64 value, std::string &out);
// A finite number in its shortest form (a whole one as an integer); null otherwise.
void writeNumber(double value, std::string &out);
void writeValue(const QJsonValue &value, std::string &out);

} // namespace protocol::jsontext
