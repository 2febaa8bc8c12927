#pragma once
// The answer to a fetch as JSON text, written and read without building a JSON document in
// between: an answer of thousands of rows is most of what crosses the wire, and a document of
// one array per row costs more than the query behind it. The text is the one JsonCodec's
// encode(FetchResult) describes, values typed by their columns as there, so either side may be
// read by the other. Reading takes the usual form of that text (fields before rows) directly and
// hands anything else to the JSON parser, so every valid answer reads the same either way.

#include "protocol/Protocol.h"

#include <QByteArray>

#include <string>

namespace protocol {

class FetchAnswerJson {
public:
    static QByteArray write(const FetchResult &result);
    // Writes the same text while a read hands over its rows, each value straight from the
    // database's cells where they are typed.
    class Writer : public RowSink {
    public:
        void fields(const QList<FieldDesc> &fields) override;
        void row(const RowCells &cells) override;
        int rowCount() const { return m_rows; }
        // The whole answer; after a failure, the failure alone (no fields, no rows).
        QByteArray finish(const QString &error);

    private:
        QList<FieldDesc> m_fields;
        std::string m_out;   // grows by plain appends, copied once at the end
        int m_rows = 0;
    };
    // False with the reason when the text is not an answer to a fetch.
    static bool read(const QByteArray &json, FetchResult *out, QString *error);
    // The same reading with the rows handed to `sink` as they are read; the answer's own error
    // (a refusal of the server) in answerError. A text that breaks off after rows were handed on
    // is refused (those rows are not taken back).
    static bool readEach(const QByteArray &json, RowSink &sink, QString *answerError, QString *error);

private:
    static bool parse(const QByteArray &json, FetchResult *out, QString *error);
};

} // namespace protocol
