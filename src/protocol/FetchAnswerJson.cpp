#include "protocol/FetchAnswerJson.h"

#include "protocol/JsonCodec.h"
#include "protocol/JsonText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLocale>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string>
#include <utility>

namespace protocol {

using namespace jsontext;

namespace {

// Whether [p, end) is well-formed UTF-8: shortest forms only, no surrogates, nothing past U+10FFFF.
bool isUtf8(const char *p, const char *end)
{
    while (p < end) {
        const auto lead = static_cast<unsigned char>(*p++);
        if (lead < 0x80)
            continue;
        int more = 0;
        char32_t code = 0, least = 0;
        if ((lead & 0xE0) == 0xC0) { more = 1; code = lead & 0x1F; least = 0x80; }
        else if ((lead & 0xF0) == 0xE0) { more = 2; code = lead & 0x0F; least = 0x800; }
        else if ((lead & 0xF8) == 0xF0) { more = 3; code = lead & 0x07; least = 0x10000; }
        else return false;
        if (end - p < more)
            return false;
        for (int i = 0; i < more; ++i, ++p) {
            const auto next = static_cast<unsigned char>(*p);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
    }
    return true;
}


// Reads an answer whose fields come before its rows (the form this server writes), handing each
// row on as it is read. Anything it does not take makes it give up (before the first row when
// only the order of the members differs), and the JSON parser reads the text instead.
class QuickReader {
public:
    explicit QuickReader(const QByteArray &json) : m_p(json.constData()), m_end(json.constData() + json.size()) {}

    // `onFields` gets the fields, then `onRow` each row in a buffer it may keep (moving it out).
    template <class OnFields, class OnRow>
    bool answer(QString *error, OnFields onFields, OnRow onRow)
    {
        bool fieldsSeen = false, rowsSeen = false, errorSeen = false;
        QList<FieldDesc> fields;
        if (!take('{'))
            return false;
        for (bool first = true; !peek('}'); first = false) {
            QString key;
            if ((!first && !take(',')) || !string(&key) || !take(':'))
                return false;
            if (key == QLatin1String("fields")) {
                if (fieldsSeen || !this->fields(&fields))
                    return false;
                onFields(fields);
                fieldsSeen = true;
            } else if (key == QLatin1String("rows")) {
                if (!fieldsSeen || rowsSeen || !rows(fields, onRow))
                    return false;
                rowsSeen = true;
            } else if (key == QLatin1String("error")) {
                if (errorSeen || (!literal("null") && !string(error)))
                    return false;
                errorSeen = true;
            } else {
                QJsonValue ignored;   // a member of a later version
                if (!value(&ignored))
                    return false;
            }
        }
        ++m_p;
        skipBlanks();
        return m_p == m_end && fieldsSeen && rowsSeen;
    }

    // Whether any row was handed on: after that, giving up cannot mean reading again.
    bool handedRows() const { return m_handed; }

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
        const char *run = m_p;
        const char *const start = m_p;
        QString text;
        bool escaped = false;
        bool wide = false;   // bytes beyond ASCII, to be checked as UTF-8
        // Control characters pass unescaped, as the JSON parser lets them: the rows read the
        // same on both roads, and a row-by-row reading never refuses what a whole one takes.
        for (; m_p < m_end && *m_p != '"'; ++m_p) {
            wide |= static_cast<unsigned char>(*m_p) >= 0x80;
            if (*m_p != '\\')
                continue;
            text += QString::fromUtf8(run, m_p - run);
            escaped = true;
            if (!escape(&text))
                return false;
            run = m_p + 1;
        }
        // Text that is not UTF-8 is no JSON: the parser refuses it, and so does this road.
        if (m_p == m_end || (wide && !isUtf8(start, m_p)))
            return false;
        *out = escaped ? text + QString::fromUtf8(run, m_p - run) : QString::fromUtf8(run, m_p - run);
        ++m_p;
        return true;
    }

    // The escape at m_p (a backslash); leaves m_p on its last character.
    bool escape(QString *text)
    {
        if (++m_p == m_end)
            return false;
        switch (*m_p) {
        case '"': case '\\': case '/': *text += QLatin1Char(*m_p); return true;
        case 'b': *text += QLatin1Char('\b'); return true;
        case 'f': *text += QLatin1Char('\f'); return true;
        case 'n': *text += QLatin1Char('\n'); return true;
        case 'r': *text += QLatin1Char('\r'); return true;
        case 't': *text += QLatin1Char('\t'); return true;
        case 'u': {
            if (m_end - m_p < 5)
                return false;
            if (!std::all_of(m_p + 1, m_p + 5, [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
                return false;
            const ushort unit = QByteArray(m_p + 1, 4).toUShort(nullptr, 16);
            *text += QChar(unit);   // a surrogate pair arrives as two escapes, in order
            m_p += 4;
            return true;
        }
        default: return false;
        }
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

    // One value of a row, read into the variant toVariantFor makes of it for its column, without
    // the JSON value in between for a null, a string (but a date's) or a number.
    bool cell(FieldType type, QVariant *out)
    {
        skipBlanks();
        if (m_p == m_end)
            return false;
        if (*m_p == 'n') {
            *out = QVariant();
            return literal("null");
        }
        if (*m_p == '"' && type != FieldType::DateTime) {
            QString text;
            if (!string(&text))
                return false;
            *out = text;
            return true;
        }
        if (*m_p == '-' || (*m_p >= '0' && *m_p <= '9')) {
            double number = 0;
            return this->number(&number) && JsonCodec::numberFor(type, number, out);
        }
        QJsonValue json;
        return value(&json) && JsonCodec::toVariantFor(type, json, out);
    }

    bool fields(QList<FieldDesc> *out)
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
            out->append(field);
        }
        ++m_p;
        return true;
    }

    template <class OnRow>
    bool rows(const QList<FieldDesc> &fields, OnRow onRow)
    {
        if (!take('['))
            return false;
        const qsizetype count = fields.size();
        QVariantList row;
        for (bool first = true; !peek(']'); first = false) {
            if ((!first && !take(',')) || !take('['))
                return false;
            row.clear();
            row.reserve(count);
            for (qsizetype i = 0; !peek(']'); ++i) {
                QVariant item;
                if (i == count || (i > 0 && !take(',')) || !cell(fields.at(i).type, &item))
                    return false;
                row.append(std::move(item));
            }
            ++m_p;
            if (row.size() != count)
                return false;
            m_handed = true;
            onRow(row);
        }
        ++m_p;
        return true;
    }

    const char *m_p;
    const char *m_end;
    bool m_handed = false;
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
        m_out += ',';
        writeInteger(field.size, m_out);
        m_out += field.required ? ",true]" : ",false]";
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
                writeInteger(cells.toInt(int(i)), m_out);
                continue;
            }
            if (type == FieldType::String || type == FieldType::FixedChar) {
                writeString(cells.toText(int(i)), m_out);
                continue;
            }
        }
        // Values of rows kept to settle their order come as variants: the usual kinds are
        // written as fromVariantFor would have them, without a JSON value in between.
        const QVariant value = cells.value(int(i));
        switch (value.isNull() ? QMetaType::UnknownType : value.typeId()) {
        case QMetaType::UnknownType: m_out += "null"; break;
        case QMetaType::Int: writeInteger(value.toInt(), m_out); break;
        case QMetaType::Double:
            if (type == FieldType::Float)
                writeNumber(value.toDouble(), m_out);
            else
                writeValue(JsonCodec::fromVariantFor(type, value), m_out);
            break;
        case QMetaType::QString:
            if (type != FieldType::DateTime)
                writeString(*static_cast<const QString *>(value.constData()), m_out);
            else
                writeValue(JsonCodec::fromVariantFor(type, value), m_out);
            break;
        default: writeValue(JsonCodec::fromVariantFor(type, value), m_out); break;
        }
    }
    m_out += ']';
}

QByteArray FetchAnswerJson::Writer::finish(const QString &error)
{
    if (!error.isEmpty() || m_out.empty()) {
        m_rows = 0;
        fields({});
    }
    m_out += ']';
    if (!error.isEmpty()) {
        m_out += ",\"error\":";
        writeString(error, m_out);
    }
    m_out += '}';
    const QByteArray text(m_out.data(), qsizetype(m_out.size()));
    m_out.clear();
    return text;
}

QByteArray FetchAnswerJson::write(const FetchResult &result)
{
    Writer writer;
    return writer.finish(feedRows(result, writer));
}

bool FetchAnswerJson::read(const QByteArray &json, FetchResult *out, QString *error)
{
    *out = FetchResult();
    QuickReader quick(json);
    if (quick.answer(
            &out->error, [out](const QList<FieldDesc> &fields) { out->fields = fields; },
            [out](QVariantList &row) { out->rows.append(std::move(row)); }))
        return true;
    *out = FetchResult();
    return parse(json, out, error);
}

bool FetchAnswerJson::readEach(const QByteArray &json, RowSink &sink, QString *answerError, QString *error)
{
    answerError->clear();
    QuickReader quick(json);
    if (quick.answer(
            answerError, [&sink](const QList<FieldDesc> &fields) { sink.fields(fields); },
            [&sink](const QVariantList &row) { sink.row(VariantCells(row)); }))
        return true;
    if (quick.handedRows()) {
        if (error)
            *error = QStringLiteral("la respuesta se interrumpe a mitad de las filas");
        return false;
    }
    FetchResult whole;
    if (!parse(json, &whole, error))
        return false;
    *answerError = feedRows(whole, sink);
    return true;
}

bool FetchAnswerJson::parse(const QByteArray &json, FetchResult *out, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        if (error)
            *error = document.isNull() ? parseError.errorString() : QStringLiteral("se esperaba un objeto");
        return false;
    }
    return JsonCodec::decode(document.object(), out, error);
}

} // namespace protocol
