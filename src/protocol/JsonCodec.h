#pragma once
// The protocol messages as JSON, for the http transport and the server behind it. Values keep
// their type across the wire (an integer stays an integer, a float a float, a date a date), so a
// dataset reads the same values over HTTP as in-process. Decoding never throws: a message that is
// not what it should be gives false and a reason.

#include "protocol/Protocol.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>

namespace protocol {

class JsonCodec {
public:
    static QJsonValue fromVariant(const QVariant &value);
    // false when the JSON value is not one fromVariant can produce.
    static bool toVariant(const QJsonValue &json, QVariant *out);
    // A value of a column of that type, as a row of a fetch's answer carries it: floats, 64-bit
    // integers and dates of their own columns travel untagged.
    static QJsonValue fromVariantFor(FieldType type, const QVariant &value);
    static bool toVariantFor(FieldType type, const QJsonValue &json, QVariant *out);
    // A JSON number as toVariantFor reads it for a column of that type.
    static bool numberFor(FieldType type, double number, QVariant *out);
    // A value of a block of new rows (ApplyRequest::inserts), which its column types on the
    // server: numbers travel untagged.
    static QJsonValue fromInsertValue(const QVariant &value);
    static bool toInsertValue(const QJsonValue &json, QVariant *out);

    static QJsonObject encode(const FetchRequest &request);
    static QJsonObject encode(const FetchResult &result);
    static QJsonObject encode(const ApplyRequest &request);
    static QJsonObject encode(const ApplyResult &result);
    static QJsonObject encode(const MethodCall &call);
    static QJsonObject encode(const MethodResult &result);

    // The text of encode(request) with `extra`'s members added (what the transport sends with
    // it), its block of new rows written straight as text: a save of thousands of rows is mostly
    // that block.
    static QByteArray encodeText(const ApplyRequest &request, const QJsonObject &extra);

    // The session is not part of a request's JSON: it travels as a token (or a login).
    static bool decode(const QJsonObject &json, FetchRequest *out, QString *error);
    static bool decode(const QJsonObject &json, FetchResult *out, QString *error);
    static bool decode(const QJsonObject &json, ApplyRequest *out, QString *error);
    static bool decode(const QJsonObject &json, ApplyResult *out, QString *error);
    static bool decode(const QJsonObject &json, MethodCall *out, QString *error);
    static bool decode(const QJsonObject &json, MethodResult *out, QString *error);
};

} // namespace protocol
