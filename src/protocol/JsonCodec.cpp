#include "protocol/JsonCodec.h"

#include "protocol/JsonText.h"

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTime>
#include <cmath>
#include <limits>
#include <string>

namespace protocol {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kTimeFormat = QStringLiteral("HH:mm:ss.zzz");

QJsonObject tagged(const char *tag, const QJsonValue &value)
{
    return QJsonObject{{QLatin1String(tag), value}};
}

bool taggedToVariant(const QJsonObject &object, QVariant *out)
{
    if (object.size() != 1)
        return false;
    const QString tag = object.constBegin().key();
    const QJsonValue v = object.constBegin().value();
    if (tag == QLatin1String("f") && v.isDouble()) {
        *out = v.toDouble();
    } else if (tag == QLatin1String("s") && v.isString()) {
        *out = v.toString();
    } else if (tag == QLatin1String("l") && v.isString()) {
        bool ok = false;
        *out = v.toString().toLongLong(&ok);
        return ok;
    } else if (tag == QLatin1String("d") && v.isString()) {
        const QDate date = QDate::fromString(v.toString(), kDateFormat);
        *out = date;
        return date.isValid();
    } else if (tag == QLatin1String("dt") && v.isString()) {
        const QDateTime stamp = QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
        *out = stamp;
        return stamp.isValid();
    } else if (tag == QLatin1String("t") && v.isString()) {
        const QTime time = QTime::fromString(v.toString(), kTimeFormat);
        *out = time;
        return time.isValid();
    } else if (tag == QLatin1String("b") && v.isString()) {
        const auto decoded = QByteArray::fromBase64Encoding(v.toString().toLatin1(),
                                                            QByteArray::AbortOnBase64DecodingErrors);
        *out = decoded.decoded;
        return bool(decoded);
    } else {
        return false;
    }
    return true;
}

QJsonObject fromMap(const QVariantMap &map)
{
    QJsonObject object;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        object.insert(it.key(), JsonCodec::fromVariant(it.value()));
    return object;
}

bool toMap(const QJsonValue &json, QVariantMap *out)
{
    if (!json.isObject() && !json.isUndefined())
        return false;
    const QJsonObject object = json.toObject();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        QVariant value;
        if (!JsonCodec::toVariant(it.value(), &value))
            return false;
        out->insert(it.key(), value);
    }
    return true;
}

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

// A member that must be a text (absent counts as empty).
bool textMember(const QJsonObject &json, const char *key, QString *out, QString *error)
{
    const QJsonValue v = json.value(QLatin1String(key));
    if (!v.isString() && !v.isUndefined() && !v.isNull())
        return fail(error, QStringLiteral("el campo \"%1\" debe ser un texto").arg(QLatin1String(key)));
    *out = v.toString();
    return true;
}

bool arrayMember(const QJsonObject &json, const char *key, QJsonArray *out, QString *error)
{
    const QJsonValue v = json.value(QLatin1String(key));
    if (!v.isArray() && !v.isUndefined())
        return fail(error, QStringLiteral("el campo \"%1\" debe ser una lista").arg(QLatin1String(key)));
    *out = v.toArray();
    return true;
}

const char *kindName(RowDelta::Kind kind)
{
    switch (kind) {
    case RowDelta::Kind::Insert: return "insert";
    case RowDelta::Kind::Update: return "update";
    case RowDelta::Kind::Delete: return "delete";
    }
    return "insert";
}

bool kindFromName(const QString &name, RowDelta::Kind *out)
{
    for (RowDelta::Kind kind : {RowDelta::Kind::Insert, RowDelta::Kind::Update, RowDelta::Kind::Delete})
        if (name == QLatin1String(kindName(kind))) {
            *out = kind;
            return true;
        }
    return false;
}

} // namespace

// In a row the column says what a plain value is: floats, 64-bit integers and dates of their own
// columns travel untagged (most of a large answer is such values).
QJsonValue JsonCodec::fromVariantFor(FieldType type, const QVariant &value)
{
    const int id = value.isNull() ? QMetaType::UnknownType : value.metaType().id();
    if (type == FieldType::Float && id == QMetaType::Double && std::isfinite(value.toDouble()))
        return value.toDouble();
    if (type == FieldType::Largeint && id == QMetaType::LongLong && std::abs(value.toLongLong()) < (qint64(1) << 53))
        return double(value.toLongLong());
    if (type == FieldType::DateTime && id == QMetaType::QDate)
        return value.toDate().toString(kDateFormat);
    if (type == FieldType::DateTime && id == QMetaType::QDateTime)
        return value.toDateTime().toString(Qt::ISODateWithMs);
    if (type == FieldType::DateTime && id == QMetaType::QString)
        return QJsonObject{{QLatin1String("s"), value.toString()}};
    return JsonCodec::fromVariant(value);
}

bool JsonCodec::numberFor(FieldType type, double number, QVariant *out)
{
    if (type == FieldType::Float) {
        *out = number;
        return true;
    }
    if (type == FieldType::Largeint) {
        *out = qlonglong(number);
        return true;
    }
    // Untagged numbers are integers of at most 32 bits.
    if (number != std::floor(number) || std::abs(number) > std::numeric_limits<int>::max())
        return false;
    *out = int(number);
    return true;
}

bool JsonCodec::toVariantFor(FieldType type, const QJsonValue &json, QVariant *out)
{
    if (json.isDouble())
        return numberFor(type, json.toDouble(), out);
    if (type == FieldType::DateTime && json.isString()) {
        const QString text = json.toString();
        if (text.contains(QLatin1Char('T'))) {
            const QDateTime stamp = QDateTime::fromString(text, Qt::ISODateWithMs);
            *out = stamp;
            return stamp.isValid();
        }
        const QDate date = QDate::fromString(text, kDateFormat);
        *out = date;
        return date.isValid();
    }
    return JsonCodec::toVariant(json, out);
}

QJsonValue JsonCodec::fromVariant(const QVariant &value)
{
    if (value.isNull() || !value.isValid())
        return QJsonValue::Null;
    switch (value.metaType().id()) {
    case QMetaType::Bool: return value.toBool();
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Int: case QMetaType::UInt:
    case QMetaType::Char: case QMetaType::SChar: case QMetaType::UChar:
        return value.toLongLong();
    case QMetaType::Long: case QMetaType::LongLong: case QMetaType::ULong: case QMetaType::ULongLong:
        return tagged("l", QString::number(value.toLongLong()));
    case QMetaType::Double: case QMetaType::Float: {
        const double d = value.toDouble();
        return std::isfinite(d) ? tagged("f", d) : QJsonValue(QJsonValue::Null);
    }
    case QMetaType::QDate: return tagged("d", value.toDate().toString(kDateFormat));
    case QMetaType::QDateTime: return tagged("dt", value.toDateTime().toString(Qt::ISODateWithMs));
    case QMetaType::QTime: return tagged("t", value.toTime().toString(kTimeFormat));
    case QMetaType::QByteArray: return tagged("b", QString::fromLatin1(value.toByteArray().toBase64()));
    case QMetaType::QVariantList: case QMetaType::QStringList: {
        QJsonArray list;
        for (const QVariant &item : value.toList())
            list.append(fromVariant(item));
        return list;
    }
    default: return value.toString();
    }
}

bool JsonCodec::toVariant(const QJsonValue &json, QVariant *out)
{
    switch (json.type()) {
    case QJsonValue::Null: *out = QVariant(); return true;
    case QJsonValue::Bool: *out = json.toBool(); return true;
    case QJsonValue::String: *out = json.toString(); return true;
    case QJsonValue::Double: return numberFor(FieldType::Unknown, json.toDouble(), out);
    case QJsonValue::Object: return taggedToVariant(json.toObject(), out);
    case QJsonValue::Array: {
        QVariantList list;
        for (const QJsonValue &item : json.toArray()) {
            QVariant value;
            if (!toVariant(item, &value))
                return false;
            list << value;
        }
        *out = list;
        return true;
    }
    default: return false;
    }
}

QJsonObject JsonCodec::encode(const FetchRequest &request)
{
    QJsonArray params;
    for (const ParamValue &param : request.params)
        params.append(QJsonObject{{QStringLiteral("name"), param.name},
                                  {QStringLiteral("type"), fieldTypeName(param.type)},
                                  {QStringLiteral("value"), fromVariant(param.value)}});
    QJsonObject json{{QStringLiteral("provider"), request.provider},
                     {QStringLiteral("statement"), request.statement},
                     {QStringLiteral("params"), params}};
    if (!request.conditions.isEmpty()) {
        QJsonArray conditions;
        for (const Condition &condition : request.conditions) {
            QJsonObject item{{QStringLiteral("column"), condition.column},
                             {QStringLiteral("op"), conditionOperatorName(condition.op)},
                             {QStringLiteral("value"), fromVariant(condition.value)}};
            if (condition.ignoreCase)
                item.insert(QStringLiteral("ignoreCase"), true);
            conditions.append(item);
        }
        json.insert(QStringLiteral("conditions"), conditions);
    }
    return json;
}

bool JsonCodec::decode(const QJsonObject &json, FetchRequest *out, QString *error)
{
    QJsonArray params;
    QJsonArray conditions;
    if (!textMember(json, "provider", &out->provider, error)
        || !textMember(json, "statement", &out->statement, error)
        || !arrayMember(json, "params", &params, error) || !arrayMember(json, "conditions", &conditions, error))
        return false;
    // A request of the old form carried SQL text: nothing of it is read, so say why it fails.
    if (json.contains(QLatin1String("commandText")))
        return fail(error, QStringLiteral("la solicitud trae texto SQL; el servidor solo ejecuta sentencias del "
                                          "catálogo por su nombre"));
    for (const QJsonValue &item : params) {
        const QJsonObject param = item.toObject();
        ParamValue value;
        QString type;
        if (!item.isObject() || !textMember(param, "name", &value.name, error)
            || !textMember(param, "type", &type, error) || !toVariant(param.value(QLatin1String("value")), &value.value))
            return fail(error, QStringLiteral("un parámetro no es {name, type, value}"));
        value.type = fieldTypeFromName(type);
        out->params << value;
    }
    for (const QJsonValue &item : conditions) {
        const QJsonObject object = item.toObject();
        Condition condition;
        QString op;
        const QJsonValue ignoreCase = object.value(QLatin1String("ignoreCase"));
        if (!item.isObject() || !textMember(object, "column", &condition.column, error)
            || !textMember(object, "op", &op, error) || !conditionOperatorFromName(op, &condition.op)
            || !toVariant(object.value(QLatin1String("value")), &condition.value)
            || !(ignoreCase.isBool() || ignoreCase.isUndefined()))
            return fail(error, QStringLiteral("una condición no es {column, op, value, ignoreCase}"));
        condition.ignoreCase = ignoreCase.toBool();
        out->conditions << condition;
    }
    return true;
}

QJsonObject JsonCodec::encode(const FetchResult &result)
{
    QJsonArray fields;
    for (const FieldDesc &field : result.fields)
        fields.append(QJsonArray{field.name, fieldTypeName(field.type), field.size, field.required});
    QJsonArray rows;
    for (const QVariantList &row : result.rows) {
        QJsonArray values;
        for (int i = 0; i < row.size(); ++i)
            values.append(fromVariantFor(result.fields.value(i).type, row.at(i)));
        rows.append(values);
    }
    QJsonObject json{{QStringLiteral("fields"), fields}, {QStringLiteral("rows"), rows}};
    if (!result.ok())
        json.insert(QStringLiteral("error"), result.error);
    return json;
}

bool JsonCodec::decode(const QJsonObject &json, FetchResult *out, QString *error)
{
    QJsonArray fields, rows;
    if (!textMember(json, "error", &out->error, error) || !arrayMember(json, "fields", &fields, error)
        || !arrayMember(json, "rows", &rows, error))
        return false;
    for (const QJsonValue &item : fields) {
        const QJsonArray field = item.toArray();
        if (field.size() != 4 || !field.at(0).isString())
            return fail(error, QStringLiteral("una descripción de campo no es [nombre, tipo, tamaño, requerido]"));
        out->fields << FieldDesc{field.at(0).toString(), fieldTypeFromName(field.at(1).toString()),
                                 field.at(2).toInt(), field.at(3).toBool()};
    }
    out->rows.reserve(rows.size());
    for (const QJsonValue &item : rows) {
        const QJsonArray values = item.toArray();
        if (values.size() != out->fields.size())
            return fail(error, QStringLiteral("una fila no tiene un valor por campo"));
        QVariantList row;
        row.reserve(values.size());
        for (int i = 0; i < values.size(); ++i) {
            QVariant value;
            if (!toVariantFor(out->fields.at(i).type, values.at(i), &value))
                return fail(error, QStringLiteral("un valor del campo %1 no se entiende").arg(out->fields.at(i).name));
            row << value;
        }
        out->rows << row;
    }
    return true;
}

// A value of a block of new rows: the server types it by its column, so integers and floats
// alike travel as plain numbers; whatever else as fromVariant writes it.
QJsonValue JsonCodec::fromInsertValue(const QVariant &value)
{
    const int id = value.isNull() ? QMetaType::UnknownType : value.metaType().id();
    if (id == QMetaType::Int || id == QMetaType::Short || id == QMetaType::UShort)
        return value.toInt();
    if ((id == QMetaType::Double || id == QMetaType::Float) && std::isfinite(value.toDouble()))
        return value.toDouble();
    return fromVariant(value);
}

// A plain number reads as an integer when it is a whole one of 32 bits, else as a float.
bool JsonCodec::toInsertValue(const QJsonValue &json, QVariant *out)
{
    if (!json.isDouble())
        return toVariant(json, out);
    const double number = json.toDouble();
    if (number == std::floor(number) && std::abs(number) <= std::numeric_limits<int>::max())
        *out = int(number);
    else
        *out = number;
    return true;
}

QJsonObject JsonCodec::encode(const ApplyRequest &request)
{
    QJsonArray deltas;
    for (const RowDelta &delta : request.deltas)
        deltas.append(QJsonObject{{QStringLiteral("kind"), QLatin1String(kindName(delta.kind))},
                                  {QStringLiteral("old"), fromMap(delta.oldValues)},
                                  {QStringLiteral("new"), fromMap(delta.newValues)}});
    QJsonObject json{{QStringLiteral("provider"), request.provider}, {QStringLiteral("deltas"), deltas}};
    if (!request.inserts.isEmpty()) {
        QJsonArray rows;
        for (const QVariantList &row : request.inserts.rows) {
            QJsonArray values;
            for (const QVariant &value : row)
                values.append(fromInsertValue(value));
            rows.append(values);
        }
        json.insert(QStringLiteral("inserts"), QJsonObject{{QStringLiteral("columns"), QJsonArray::fromStringList(request.inserts.columns)},
                                                           {QStringLiteral("rows"), rows}});
    }
    return json;
}

QByteArray JsonCodec::encodeText(const ApplyRequest &request, const QJsonObject &extra)
{
    ApplyRequest head = request;
    head.inserts = {};
    QJsonObject json = encode(head);
    for (auto it = extra.constBegin(); it != extra.constEnd(); ++it)
        json.insert(it.key(), it.value());
    QByteArray text = QJsonDocument(json).toJson(QJsonDocument::Compact);
    if (request.inserts.isEmpty())
        return text;
    std::string out = ",\"inserts\":{\"columns\":[";
    for (qsizetype i = 0; i < request.inserts.columns.size(); ++i) {
        if (i > 0)
            out += ',';
        jsontext::writeString(request.inserts.columns.at(i), out);
    }
    out += "],\"rows\":[";
    for (qsizetype r = 0; r < request.inserts.rows.size(); ++r) {
        out += r > 0 ? ",[" : "[";
        const QVariantList &row = request.inserts.rows.at(r);
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                out += ',';
            // What fromInsertValue gives, without a JSON value in between for the usual kinds.
            const QVariant &value = row.at(i);
            switch (value.isNull() ? QMetaType::UnknownType : value.typeId()) {
            case QMetaType::Int: jsontext::writeInteger(value.toInt(), out); break;
            case QMetaType::Double: jsontext::writeNumber(value.toDouble(), out); break;
            case QMetaType::QString: jsontext::writeString(*static_cast<const QString *>(value.constData()), out); break;
            default: jsontext::writeValue(fromInsertValue(value), out); break;
            }
        }
        out += ']';
    }
    out += "]}}";
    text.chop(1);   // the object's closing brace: the block goes before it
    text.append(out.data(), qsizetype(out.size()));
    return text;
}

bool JsonCodec::decode(const QJsonObject &json, ApplyRequest *out, QString *error)
{
    QJsonArray deltas;
    if (!textMember(json, "provider", &out->provider, error) || !arrayMember(json, "deltas", &deltas, error))
        return false;
    for (const QJsonValue &item : deltas) {
        const QJsonObject object = item.toObject();
        RowDelta delta;
        if (!kindFromName(object.value(QLatin1String("kind")).toString(), &delta.kind))
            return fail(error, QStringLiteral("un cambio no dice si es insert, update o delete"));
        if (!toMap(object.value(QLatin1String("old")), &delta.oldValues)
            || !toMap(object.value(QLatin1String("new")), &delta.newValues))
            return fail(error, QStringLiteral("los valores de un cambio no se entienden"));
        out->deltas << delta;
    }
    const QJsonValue inserts = json.value(QLatin1String("inserts"));
    if (inserts.isUndefined())
        return true;
    QJsonArray columns, rows;
    if (!inserts.isObject() || !arrayMember(inserts.toObject(), "columns", &columns, error)
        || !arrayMember(inserts.toObject(), "rows", &rows, error))
        return fail(error, QStringLiteral("las altas no son {columns, rows}"));
    for (const QJsonValue &column : std::as_const(columns)) {
        if (!column.isString() || column.toString().isEmpty())
            return fail(error, QStringLiteral("una columna de las altas no es un nombre"));
        out->inserts.columns << column.toString();
    }
    out->inserts.rows.reserve(rows.size());
    for (const QJsonValue &item : std::as_const(rows)) {
        const QJsonArray values = item.toArray();
        if (!item.isArray() || values.size() != columns.size())
            return fail(error, QStringLiteral("una fila de las altas no tiene un valor por columna"));
        QVariantList row;
        row.reserve(values.size());
        for (const QJsonValue &value : values) {
            QVariant read;
            if (!toInsertValue(value, &read))
                return fail(error, QStringLiteral("un valor de las altas no se entiende"));
            row << read;
        }
        out->inserts.rows << row;
    }
    return true;
}

QJsonObject JsonCodec::encode(const ApplyResult &result)
{
    QJsonObject json{{QStringLiteral("rowsAffected"), result.rowsAffected}};
    if (!result.ok())
        json.insert(QStringLiteral("error"), result.error);
    return json;
}

bool JsonCodec::decode(const QJsonObject &json, ApplyResult *out, QString *error)
{
    out->rowsAffected = json.value(QLatin1String("rowsAffected")).toInt();
    return textMember(json, "error", &out->error, error);
}

QJsonObject JsonCodec::encode(const MethodCall &call)
{
    QJsonArray args;
    for (const QVariant &arg : call.args)
        args.append(fromVariant(arg));
    return {{QStringLiteral("method"), call.method}, {QStringLiteral("args"), args}};
}

bool JsonCodec::decode(const QJsonObject &json, MethodCall *out, QString *error)
{
    QJsonArray args;
    if (!textMember(json, "method", &out->method, error) || !arrayMember(json, "args", &args, error))
        return false;
    for (const QJsonValue &item : args) {
        QVariant value;
        if (!toVariant(item, &value))
            return fail(error, QStringLiteral("un argumento del método no se entiende"));
        out->args << value;
    }
    return true;
}

QJsonObject JsonCodec::encode(const MethodResult &result)
{
    QJsonObject json{{QStringLiteral("value"), fromVariant(result.value)}};
    if (!result.ok())
        json.insert(QStringLiteral("error"), result.error);
    return json;
}

bool JsonCodec::decode(const QJsonObject &json, MethodResult *out, QString *error)
{
    if (!textMember(json, "error", &out->error, error))
        return false;
    const QJsonValue value = json.value(QLatin1String("value"));
    if (value.isUndefined()) {
        out->value = QVariant();
        return true;
    }
    return toVariant(value, &out->value) || fail(error, QStringLiteral("la respuesta del método no se entiende"));
}

} // namespace protocol
