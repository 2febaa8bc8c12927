// The server's request decoder: any body a client sends is either refused with a reason or
// decoded into a request that encodes back to the same request.

#include "fuzz/FuzzInput.h"
#include "protocol/JsonCodec.h"

#include <QJsonDocument>
#include <cstdlib>

using namespace protocol;

template <class Request>
void roundTrip(const QJsonObject &body)
{
    Request first;
    QString error;
    if (!JsonCodec::decode(body, &first, &error)) {
        if (error.isEmpty())
            std::abort();   // a refusal always says why
        return;
    }
    Request second;
    if (!JsonCodec::decode(JsonCodec::encode(first), &second, &error)
        || JsonCodec::encode(second) != JsonCodec::encode(first))
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!document.isObject())
        return 0;
    roundTrip<FetchRequest>(document.object());
    roundTrip<ApplyRequest>(document.object());
    roundTrip<MethodCall>(document.object());
    return 0;
}
