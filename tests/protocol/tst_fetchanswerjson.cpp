// A fetch's answer written as JSON text and read back, by the quick reader and through the JSON
// parser: both must give the values the server had, of the same types.

#include "tests/support/DataTable.h"
#include "protocol/FetchAnswerJson.h"
#include "protocol/JsonCodec.h"

#include <QJsonDocument>
#include <QtTest>

using namespace protocol;

Q_DECLARE_METATYPE(protocol::FetchResult)

namespace {

FetchResult answer(const QList<FieldDesc> &fields, const QList<QVariantList> &rows, const QString &error = {})
{
    FetchResult result;
    result.fields = fields;
    result.rows = rows;
    result.error = error;
    return result;
}

// Values with their types, so that 7 and 7.0 or a date and its text are told apart.
QString shown(const FetchResult &result)
{
    QStringList parts{result.error};
    for (const FieldDesc &field : result.fields)
        parts << QStringLiteral("%1/%2/%3/%4").arg(field.name, fieldTypeName(field.type)).arg(field.size).arg(field.required);
    for (const QVariantList &row : result.rows)
        for (const QVariant &value : row)
            parts << QStringLiteral("%1:%2").arg(value.isNull() ? QStringLiteral("null") : QLatin1String(value.typeName()),
                                                 value.toString());
    return parts.join(QLatin1Char('|'));
}

// The answer as a sink takes it row by row.
struct Collected : RowSink {
    FetchResult result;
    void fields(const QList<FieldDesc> &fields) override { result.fields = fields; }
    void row(const RowCells &cells) override { result.rows << cells.values(int(result.fields.size())); }
};

} // namespace

class TestFetchAnswerJson : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<FetchResult>("result");
        const FieldDesc code{QStringLiteral("COD_EMPL"), FieldType::Float, 0, true};
        const FieldDesc type{QStringLiteral("TIP_REGI"), FieldType::String, 2, true};
        const FieldDesc requirement{QStringLiteral("COD_REQU"), FieldType::Integer, 0, false};
        const FieldDesc big{QStringLiteral("NUM_GRAN"), FieldType::Largeint, 0, false};
        const FieldDesc date{QStringLiteral("FEC_REGI"), FieldType::DateTime, 0, false};
        const FieldDesc free{QStringLiteral("EXPR"), FieldType::Unknown, 0, false};

        QTest::newRow("typed columns with nulls")
            << answer({code, type, requirement, date},
                      {{10000001.0, QStringLiteral("FO"), 120, QDate(2024, 6, 1)},
                       {0.1, QVariant(), QVariant(), QVariant()},
                       {-2.5e-300, QStringLiteral("CU"), -7, QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 6))}});
        QTest::newRow("whole floats at the edges of exact integers")
            << answer({code}, {{-0.0}, {9007199254740991.0}, {9007199254740992.0}, {1e300}, {-123456789012.0}});
        QTest::newRow("texts that need escaping")
            << answer({type}, {{QStringLiteral("comillas \" y barra \\")}, {QStringLiteral("línea\nnueva\ttab\x01")},
                               {QStringLiteral("Ñandú 𝄞")}});
        QTest::newRow("64-bit integers inside and beyond doubles")
            << answer({big}, {{qlonglong(1) << 52}, {(qlonglong(1) << 62) + 1}, {qlonglong(-5)}});
        QTest::newRow("untyped column keeps each value's type")
            << answer({free}, {{7}, {7.0}, {QStringLiteral("7")}, {true}, {QByteArray("\x00\xff", 2)}});
        QTest::newRow("a date column holding text") << answer({date}, {{QStringLiteral("no es fecha")}});
        QTest::newRow("no rows") << answer({code, type}, {});
        QTest::newRow("refusal of the server")
            << answer({}, {}, QStringLiteral("Error en la consulta del proveedor X: \"falta\""));
    }

    // Written by the server, read by the workstation; also from the JSON document's text.
    void roundTrip()
    {
        QFETCH(FetchResult, result);
        const QByteArray text = FetchAnswerJson::write(result);
        QJsonParseError parseError;
        QJsonDocument::fromJson(text, &parseError);
        QCOMPARE(parseError.errorString(), QJsonParseError().errorString());

        FetchResult read;
        QString error;
        QVERIFY2(FetchAnswerJson::read(text, &read, &error), qPrintable(error));
        QCOMPARE(shown(read), shown(result));

        FetchResult parsed;
        QVERIFY(JsonCodec::decode(QJsonDocument::fromJson(text).object(), &parsed, &error));
        QCOMPARE(shown(parsed), shown(result));

        const QByteArray indented = QJsonDocument(JsonCodec::encode(result)).toJson(QJsonDocument::Indented);
        FetchResult fromDocument;
        QVERIFY2(FetchAnswerJson::read(indented, &fromDocument, &error), qPrintable(error));
        QCOMPARE(shown(fromDocument), shown(result));

        // Row by row, from the quick form, the document's and one with the rows first.
        QByteArray rowsFirst = text;
        if (const qsizetype rows = text.indexOf(",\"rows\":"); rows > 0 && text.endsWith("]}"))
            rowsFirst = "{" + text.mid(rows + 1, text.size() - rows - 2) + "," + text.mid(1, rows - 1) + "}";
        for (const QByteArray &form : {text, indented, rowsFirst}) {
            Collected sink;
            QVERIFY2(FetchAnswerJson::readEach(form, sink, &sink.result.error, &error), qPrintable(error));
            QCOMPARE(shown(sink.result), shown(result));
        }
    }

    // Read whole, and row by row: there a text that breaks off after rows were handed on says so.
    void refused_data()
    {
        addColumns<QByteArray, QString, QString>({"text", "message", "streamed"});
        const QString broken = QStringLiteral("la respuesta se interrumpe a mitad de las filas");
        QTest::newRow("a row one value short")
            << QByteArray(R"({"fields":[["A","Integer",0,false],["B","Integer",0,false]],"rows":[[1,2],[3]]})")
            << QStringLiteral("una fila no tiene un valor por campo") << broken;
        QTest::newRow("a float where an integer column is")
            << QByteArray(R"({"fields":[["A","Integer",0,false]],"rows":[[1.5]]})")
            << QStringLiteral("un valor del campo A no se entiende") << QString();
        QTest::newRow("a field of three parts")
            << QByteArray(R"({"fields":[["A","Integer",0]],"rows":[]})")
            << QStringLiteral("una descripción de campo no es [nombre, tipo, tamaño, requerido]") << QString();
        QTest::newRow("cut short") << QByteArray(R"({"fields":[["A","Integer",0,false]],"rows":[[1]])")
                                   << QJsonParseError{0, QJsonParseError::UnterminatedObject}.errorString() << broken;
        QTest::newRow("not an object") << QByteArray("[1,2]") << QStringLiteral("se esperaba un objeto") << QString();
        const QString notUtf8 = QJsonParseError{0, QJsonParseError::IllegalUTF8String}.errorString();
        QTest::newRow("a text not in UTF-8")
            << QByteArray("{\"fields\":[[\"A\",\"String\",9,false]],\"rows\":[[\"Emp\xfe" "ado\"]]}") << notUtf8 << notUtf8;
        const QString badEscape = QJsonParseError{0, QJsonParseError::IllegalEscapeSequence}.errorString();
        QTest::newRow("an escape without four hex digits")
            << QByteArray(R"({"fields":[["A","String",9,false]],"rows":[["\u 12a"]]})") << badEscape << badEscape;
    }

    void refused()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        QFETCH(QString, streamed);
        FetchResult read;
        QString error;
        QVERIFY(!FetchAnswerJson::read(text, &read, &error));
        QCOMPARE(error, message);
        Collected sink;
        QVERIFY(!FetchAnswerJson::readEach(text, sink, &sink.result.error, &error));
        QCOMPARE(error, streamed.isEmpty() ? message : streamed);
    }
};

QTEST_GUILESS_MAIN(TestFetchAnswerJson)
#include "tst_fetchanswerjson.moc"
