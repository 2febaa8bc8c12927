#include "FetchAnswerJson.h"

#include "JsonCodec.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLocale>

#include <charconv>
#include <cmath>
#include <utility>

namespace appserver {

namespace {

void writeString(const QString &text, QByteArray &out)
{
    static const char hex[] = "0123456789abcdef";
    const QByteArray utf8 = text.toUtf8();
    out += '"';
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += hex[byte >> 4];
            out += hex[byte & 0xf];
        } else {
            out += c;
        }
    }
    out += '"';
}

void writeNumber(double value, QByteArray &out)
{
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    // Codes and points are mostly whole numbers: written as integers they skip the search for
    // the shortest decimal form, which costs more than the rest of the row.
    if (value == std::floor(value) && std::abs(value) < 9007199254740992.0 && !(value == 0 && std::signbit(value))) {
        out += QByteArray::number(qint64(value));
        return;
    }
    out += QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

void writeValue(const QJsonValue &value, QByteArray &out)
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

// Reads the usual form of an answer. Whatever it does not take (escapes, another order of the
// members, anything malformed) makes it give up, and the JSON parser reads the text instead.
class QuickReader {
public:
    explicit QuickReader(const QByteArray &json) : m_p(json.constData()), m_end(json.constData() + json.size()) {}

    bool answer(FetchResult *out)
    {
        bool fieldsSeen = false, rowsSeen = false, errorSeen = false;
        if (!take('{'))
            return false;
        for (bool first = true; !peek('}'); first = false) {
            QString key;
            if ((!first && !take(',')) || !string(&key) || !take(':'))
                return false;
            if (key == QLatin1String("fields")) {
                if (fieldsSeen || !fields(out))
                    return false;
                fieldsSeen = true;
            } else if (key == QLatin1String("rows")) {
                if (!fieldsSeen || rowsSeen || !rows(out))
                    return false;
                rowsSeen = true;
            } else if (key == QLatin1String("error")) {
                if (errorSeen || (!literal("null") && !string(&out->error)))
                    return false;
                errorSeen = true;
            } else {
                return false;
            }
        }
        ++m_p;
        skipBlanks();
        return m_p == m_end;
    }

private:
    void skipBlanks()
    {
        while (m_p < m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }
    bool peek(char c)
    {
        skipBlanks();
        return m_p < m_end && *m_p == c;
    }
    bool take(char c)
    {
        if (!peek(c))
            return false;
        ++m_p;
        return true;
    }
    bool literal(const char *word)
    {
        skipBlanks();
        const qsizetype size = qstrlen(word);
        if (m_end - m_p < size || qstrncmp(m_p, word, size) != 0)
            return false;
        m_p += size;
        return true;
    }

    bool string(QString *out)
    {
        if (!take('"'))
            return false;
        const char *start = m_p;
        for (; m_p < m_end && *m_p != '"'; ++m_p)
            if (*m_p == '\\' || static_cast<unsigned char>(*m_p) < 0x20)
                return false;
        if (m_p == m_end)
            return false;
        *out = QString::fromUtf8(start, m_p - start);
        ++m_p;
        return true;
    }

    // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
    bool number(double *out)
    {
        skipBlanks();
        const char *start = m_p;
        const auto digits = [this] {
            const char *from = m_p;
            while (m_p < m_end && *m_p >= '0' && *m_p <= '9')
                ++m_p;
            return m_p - from;
        };
        if (m_p < m_end && *m_p == '-')
            ++m_p;
        if (m_p < m_end && *m_p == '0')
            ++m_p;
        else if (digits() == 0)
            return false;
        if (m_p < m_end && *m_p == '.') {
            ++m_p;
            if (digits() == 0)
                return false;
        }
        if (m_p < m_end && (*m_p == 'e' || *m_p == 'E')) {
            ++m_p;
            if (m_p < m_end && (*m_p == '+' || *m_p == '-'))
                ++m_p;
            if (digits() == 0)
                return false;
        }
        const auto [end, failure] = std::from_chars(start, m_p, *out);
        return failure == std::errc() && end == m_p;
    }

    bool value(QJsonValue *out)
    {
        skipBlanks();
        if (m_p == m_end)
            return false;
        switch (*m_p) {
        case 'n': *out = QJsonValue::Null; return literal("null");
        case 't': *out = true; return literal("true");
        case 'f': *out = false; return literal("false");
        case '"': {
            QString text;
            if (!string(&text))
                return false;
            *out = text;
            return true;
        }
        case '{': {
            // A tagged value: {"tag": value}.
            ++m_p;
            QJsonObject object;
            for (bool first = true; !peek('}'); first = false) {
                QString key;
                QJsonValue item;
                if ((!first && !take(',')) || !string(&key) || !take(':') || !value(&item))
                    return false;
                object.insert(key, item);
            }
            ++m_p;
            *out = object;
            return true;
        }
        case '[': {
            ++m_p;
            QJsonArray array;
            for (bool first = true; !peek(']'); first = false) {
                QJsonValue item;
                if ((!first && !take(',')) || !value(&item))
                    return false;
                array.append(item);
            }
            ++m_p;
            *out = array;
            return true;
        }
        default: {
            double number = 0;
            if (!this->number(&number))
                return false;
            *out = number;
            return true;
        }
        }
    }

    bool fields(FetchResult *out)
    {
        if (!take('['))
            return false;
        for (bool first = true; !peek(']'); first = false) {
            FieldDesc field;
            QString type;
            double size = 0;
            if ((!first && !take(',')) || !take('[') || !string(&field.name) || !take(',') || !string(&type)
                || !take(',') || !number(&size) || size != std::floor(size) || std::abs(size) > 1e9 || !take(','))
                return false;
            if (literal("true"))
                field.required = true;
            else if (!literal("false"))
                return false;
            if (!take(']'))
                return false;
            field.type = fieldTypeFromName(type);
            field.size = int(size);
            out->fields.append(field);
        }
        ++m_p;
        return true;
    }

    bool rows(FetchResult *out)
    {
        if (!take('['))
            return false;
        const qsizetype count = out->fields.size();
        for (bool first = true; !peek(']'); first = false) {
            if ((!first && !take(',')) || !take('['))
                return false;
            QVariantList row;
            row.reserve(count);
            for (qsizetype i = 0; !peek(']'); ++i) {
                QJsonValue json;
                QVariant item;
                if (i == count || (i > 0 && !take(',')) || !value(&json)
                    || !JsonCodec::toVariantFor(out->fields.at(i).type, json, &item))
                    return false;
                row.append(std::move(item));
            }
            ++m_p;
            if (row.size() != count)
                return false;
            out->rows.append(std::move(row));
        }
        ++m_p;
        return true;
    }

    const char *m_p;
    const char *m_end;
};

} // namespace

void FetchAnswerJson::Writer::fields(const QList<FieldDesc> &fields)
{
    m_fields = fields;
    m_out = "{\"fields\":[";
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const FieldDesc &field = fields.at(i);
        m_out += i > 0 ? ",[" : "[";
        writeString(field.name, m_out);
        m_out += ',';
        writeString(fieldTypeName(field.type), m_out);
        m_out += ',' + QByteArray::number(field.size) + (field.required ? ",true]" : ",false]");
    }
    m_out += "],\"rows\":[";
}

void FetchAnswerJson::Writer::row(const RowCells &cells)
{
    m_out += m_rows++ > 0 ? ",[" : "[";
    for (qsizetype i = 0; i < m_fields.size(); ++i) {
        if (i > 0)
            m_out += ',';
        const FieldType type = m_fields.at(i).type;
        // Typed cells of the usual types are written as the variant of their value would be.
        if (cells.typed()) {
            if (cells.isNull(int(i))) {
                m_out += "null";
                continue;
            }
            if (type == FieldType::Float) {
                writeNumber(cells.toDouble(int(i)), m_out);
                continue;
            }
            if (type == FieldType::Smallint || type == FieldType::Integer) {
                m_out += QByteArray::number(cells.toInt(int(i)));
                continue;
            }
            if (type == FieldType::String || type == FieldType::FixedChar) {
                writeString(cells.toText(int(i)), m_out);
                continue;
            }
        }
        writeValue(JsonCodec::fromVariantFor(type, cells.value(int(i))), m_out);
    }
    m_out += ']';
}

QByteArray FetchAnswerJson::Writer::finish(const QString &error)
{
    if (!error.isEmpty() || m_out.isEmpty()) {
        m_rows = 0;
        fields({});
    }
    m_out += ']';
    if (!error.isEmpty()) {
        m_out += ",\"error\":";
        writeString(error, m_out);
    }
    m_out += '}';
    return std::exchange(m_out, QByteArray());
}

QByteArray FetchAnswerJson::write(const FetchResult &result)
{
    Writer writer;
    if (result.ok())
        feedRows(result, writer);
    return writer.finish(result.error);
}

bool FetchAnswerJson::read(const QByteArray &json, FetchResult *out, QString *error)
{
    *out = FetchResult();
    if (QuickReader(json).answer(out))
        return true;
    *out = FetchResult();
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        if (error)
            *error = document.isNull() ? parseError.errorString() : QStringLiteral("se esperaba un objeto");
        return false;
    }
    return JsonCodec::decode(document.object(), out, error);
}

} // namespace appserver
