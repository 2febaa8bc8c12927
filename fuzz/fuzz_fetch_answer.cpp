// The workstation's reading of a fetch's answer. Any text is either refused with a reason or read
// into an answer that the JSON parser reads the same (the quick road and the parser's road never
// disagree on a value). The row-by-row reading, when it takes a text, takes the same; it may refuse
// a text the parser is lenient about once it has handed rows on, but never one our writer wrote:
// written back, the answer reads the same on every road.

#include "protocol/FetchAnswerJson.h"
#include "protocol/JsonCodec.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <cstdint>
#include <cstdlib>

using namespace protocol;

namespace {

bool sameValue(const QVariant &a, const QVariant &b)
{
    return a.isNull() == b.isNull() && a.metaType() == b.metaType() && (a.isNull() || a == b);
}

bool sameAnswer(const FetchResult &a, const FetchResult &b)
{
    if (a.error != b.error || a.fields.size() != b.fields.size() || a.rows.size() != b.rows.size())
        return false;
    for (int i = 0; i < a.fields.size(); ++i) {
        const FieldDesc &x = a.fields.at(i), &y = b.fields.at(i);
        if (x.name != y.name || x.type != y.type || x.size != y.size || x.required != y.required)
            return false;
    }
    for (int r = 0; r < a.rows.size(); ++r) {
        if (a.rows.at(r).size() != b.rows.at(r).size())
            return false;
        for (int c = 0; c < a.rows.at(r).size(); ++c)
            if (!sameValue(a.rows.at(r).at(c), b.rows.at(r).at(c)))
                return false;
    }
    return true;
}

struct Collected : RowSink {
    FetchResult result;
    void fields(const QList<FieldDesc> &fields) override { result.fields = fields; }
    void row(const RowCells &cells) override { result.rows << cells.values(int(result.fields.size())); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    FetchResult read;
    QString error;
    const bool ok = FetchAnswerJson::read(text, &read, &error);
    if (!ok) {
        if (error.isEmpty())
            std::abort();   // a refusal always says why
        return 0;
    }

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    FetchResult parsed;
    QString parsedError;
    if (parseError.error != QJsonParseError::NoError || !document.isObject()
        || !JsonCodec::decode(document.object(), &parsed, &parsedError) || !sameAnswer(read, parsed))
        std::abort();

    Collected collected;
    QString refusal;
    if (FetchAnswerJson::readEach(text, collected, &refusal, &error)) {
        collected.result.error = refusal;
        if (!sameAnswer(read, collected.result))
            std::abort();
    }

    const QByteArray written = FetchAnswerJson::write(read);
    FetchResult again;
    Collected againEach;
    if (!FetchAnswerJson::read(written, &again, &error) || !sameAnswer(read, again)
        || !FetchAnswerJson::readEach(written, againEach, &refusal, &error))
        std::abort();
    againEach.result.error = refusal;
    if (!sameAnswer(read, againEach.result))
        std::abort();
    return 0;
}
