// A save's block of new rows as JSON (as a document and as the text written straight) and read
// back: numbers travel untagged (the server types them by their columns), everything else keeps
// its type; a malformed block is refused with a reason.

#include "tests/support/DataTable.h"
#include "protocol/JsonCodec.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

using namespace protocol;

class TestApplyJson : public QObject {
    Q_OBJECT
private slots:
    void readBack_data()
    {
        addColumns<QVariantList, QString>({"values", "read"});
        QTest::newRow("numbers") << QVariantList{7, -7, 7.5, 7.0, 1e12, qlonglong(1) << 40}
                                 << "int:7|int:-7|double:7.5|int:7|double:1e+12|qlonglong:1099511627776";
        QTest::newRow("texts, nulls and dates")
            << QVariantList{QStringLiteral("Gómez"), QString(), QVariant(), QDate(2024, 1, 2),
                            QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5, 6))}
            << "QString:Gómez|QString:|null|QDate:2024-01-02|QDateTime:2024-01-02T03:04:05.006";
    }

    void readBack()
    {
        QFETCH(QVariantList, values);
        QFETCH(QString, read);
        ApplyRequest request{{}, QStringLiteral("DtsPAcCortd"), {}, {}};
        for (int i = 0; i < values.size(); ++i)
            request.inserts.columns << QStringLiteral("C%1").arg(i);
        request.inserts.rows = {values, values};
        request.deltas = {RowDelta{RowDelta::Kind::Delete, {{QStringLiteral("C0"), 1}}, {}}};
        // As a document, and as the text the transport writes straight (with the company beside).
        for (const QByteArray &text : {QJsonDocument(JsonCodec::encode(request)).toJson(QJsonDocument::Compact),
                                       JsonCodec::encodeText(request, {{QStringLiteral("company"), 3}})}) {
            const QJsonObject json = QJsonDocument::fromJson(text).object();
            ApplyRequest decoded;
            QString error;
            QVERIFY2(JsonCodec::decode(json, &decoded, &error), qPrintable(error));
            QCOMPARE(decoded.deltas.size(), 1);
            QCOMPARE(decoded.inserts.columns, request.inserts.columns);
            QCOMPARE(decoded.inserts.rows.size(), 2);
            for (const QVariantList &row : std::as_const(decoded.inserts.rows)) {
                QStringList parts;
                for (const QVariant &value : row)
                    parts << (value.isNull() && !value.isValid()
                                  ? QStringLiteral("null")
                                  : QStringLiteral("%1:%2").arg(QLatin1String(value.typeName()), value.toString()));
                QCOMPARE(parts.join(QLatin1Char('|')), read);
            }
        }
    }

    void refused_data()
    {
        addColumns<QByteArray, QString>({"body", "error"});
        QTest::newRow("not an object") << QByteArray(R"({"provider": "P", "inserts": [1]})")
                                       << "las altas no son {columns, rows}";
        QTest::newRow("column without a name") << QByteArray(R"({"provider": "P", "inserts": {"columns": ["A", 2], "rows": []}})")
                                               << "una columna de las altas no es un nombre";
        QTest::newRow("row short of a value")
            << QByteArray(R"({"provider": "P", "inserts": {"columns": ["A", "B"], "rows": [[1, 2], [1]]}})")
            << "una fila de las altas no tiene un valor por columna";
        QTest::newRow("value not understood")
            << QByteArray(R"({"provider": "P", "inserts": {"columns": ["A"], "rows": [[{"x": 1}]]}})")
            << "un valor de las altas no se entiende";
    }

    void refused()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, error);
        ApplyRequest decoded;
        QString why;
        QVERIFY(!JsonCodec::decode(QJsonDocument::fromJson(body).object(), &decoded, &why));
        QCOMPARE(why, error);
    }
};

QTEST_GUILESS_MAIN(TestApplyJson)
#include "tst_applyjson.moc"
