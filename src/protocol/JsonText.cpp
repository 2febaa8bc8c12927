#include "protocol/JsonText.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace protocol::jsontext {

namespace {

// Units of one byte each (UTF-8 bytes, or UTF-16 units below 0x80), with JSON's escapes;
// runs without anything to escape go in at once when they are bytes.
template <class Unit>
void appendEscaped(const Unit *from, const Unit *to, std::string &out)
{
    static const char hex[] = "0123456789abcdef";
    for (const Unit *p = from; p < to; ++p) {
        const auto unit = static_cast<unsigned>(*p);
        if (unit != '"' && unit != '\\' && unit >= 0x20) {
            out += char(unit);
            continue;
        }
        if (unit < 0x20) {
            const char escaped[] = {'\\', 'u', '0', '0', hex[unit >> 4], hex[unit & 0xf]};
            out.append(escaped, sizeof escaped);
        } else {
            const char escaped[] = {'\\', char(unit)};
            out.append(escaped, sizeof escaped);
        }
    }
}

} // namespace

void writeString(const QString &text, std::string &out)
{
    out += '"';
    const ushort *units = text.utf16();
    const qsizetype size = text.size();
    // Most texts (codes, names without accents) are ASCII: written without a UTF-8 copy.
    if (std::all_of(units, units + size, [](ushort unit) { return unit < 0x80; })) {
        appendEscaped(units, units + size, out);
    } else {
        const QByteArray utf8 = text.toUtf8();
        appendEscaped(reinterpret_cast<const unsigned char *>(utf8.constData()),
                      reinterpret_cast<const unsigned char *>(utf8.constData()) + utf8.size(), out);
    }
    out += '"';
}

void writeInteger(qint64 value, std::string &out)
{
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, written.ptr - digits);
}

void writeNumber(double value, std::string &out)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    // Codes and points are mostly whole numbers: written as integers they skip the search for
    // the shortest decimal form, which costs more than the rest of the row.
    if (value == std::floor(value) && std::abs(value) < 9007199254740992.0 && !(value == 0 && std::signbit(value))) {
        writeInteger(qint64(value), out);
        return;
    }
    out += QByteArray::number(value, 'g', QLocale::FloatingPointShortest).toStdString();
}

void writeValue(const QJsonValue &value, std::string &out)
{
    switch (value.type()) {
    case QJsonValue::Bool: out += value.toBool() ? "true" : "false"; break;
    case QJsonValue::Double: writeNumber(value.toDouble(), out); break;
    case QJsonValue::String: writeString(value.toString(), out); break;
    case QJsonValue::Array: {
        out += '[';
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i) {
            if (i > 0)
                out += ',';
            writeValue(array.at(i), out);
        }
        out += ']';
        break;
    }
    case QJsonValue::Object: {
        out += '{';
        const QJsonObject object = value.toObject();
        for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
            if (it != object.constBegin())
                out += ',';
            writeString(it.key(), out);
            out += ':';
            writeValue(it.value(), out);
        }
        out += '}';
        break;
    }
    default: out += "null"; break;
    }
}

} // namespace protocol::jsontext
