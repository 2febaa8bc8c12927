// How the server's connection watch frames requests and which ones it refuses before the HTTP
// parser holds them. Every stream is fed whole, in pieces of 7 bytes and byte by byte: where the
// socket happens to split it must not change the verdict.

#include "server/RequestFramer.h"
#include "tests/support/DataTable.h"

#include <QtTest>

namespace {

constexpr qint64 kLimit = 100;

QByteArray post(const QByteArray &headers, const QByteArray &body = {})
{
    return "POST /fetch HTTP/1.1\r\nHost: servidor\r\n" + headers + "\r\n" + body;
}

QByteArray chunked(const QByteArray &chunks)
{
    return post("Transfer-Encoding: chunked\r\n", chunks);
}

} // namespace

class TestRequestFramer : public QObject {
    Q_OBJECT
private slots:
    // path: the target of the last head read, for the log line of a refusal
    void verdicts_data()
    {
        addColumns<QByteArray, int, QString, QByteArray>({"stream", "status", "message", "path"});
        const QString over = QStringLiteral("La solicitud supera el máximo de 100 bytes.");
        const QString headTooLong = QStringLiteral("La cabecera de la solicitud supera el máximo de 16384 bytes.");
        const auto notHttp = [](const char *why) {
            return QStringLiteral("La solicitud HTTP no se entiende: %1.").arg(QString::fromUtf8(why));
        };
        QTest::newRow("kept-alive requests within the limit")
            << post("Content-Length: 100\r\n", QByteArray(100, '{')) + "\r\n"
                   + chunked("50\r\n" + QByteArray(80, 'x') + "\r\n0\r\n\r\n") + "GET /otra?x=1 HTTP/1.0\n\n"
            << 0 << "" << QByteArray("/otra");
        QTest::newRow("declared body over the limit") << post("Content-Length: 209715200\r\n") << 413
                                                      << "La solicitud ocupa 209715200 bytes; el máximo es 100 bytes."
                                                      << QByteArray("/fetch");
        QTest::newRow("chunk sizes adding up over the limit")
            << chunked("32\r\n" + QByteArray(50, 'x') + "\r\n33\r\n") << 413 << over << QByteArray("/fetch");
        QTest::newRow("trailers past the limit")
            << chunked("0\r\n" + QByteArray(60, 'a') + "\r\n" + QByteArray(60, 'b') + "\r\n") << 413 << over
            << QByteArray("/fetch");
        QTest::newRow("body longer than its Content-Length")
            << post("Content-Length: 2\r\n", "{}" + QByteArray(200, 'x') + "\r\n\r\n") << 400
            << notHttp("la primera línea no es «MÉTODO ruta HTTP/1.1»") << QByteArray("/fetch");
        QTest::newRow("endless head") << "POST /fetch HTTP/1.1\r\nX: " + QByteArray(20000, 'x') << 431 << headTooLong
                                      << QByteArray();
        QTest::newRow("length and chunks at once") << post("Content-Length: 5\r\nTransfer-Encoding: chunked\r\n") << 400
                                                   << "La solicitud no puede indicar a la vez Content-Length y Transfer-Encoding."
                                                   << QByteArray("/fetch");
        QTest::newRow("chunk longer than its size") << chunked("2\r\nabc\r\n") << 400
                                                    << notHttp("un fragmento no termina donde su tamaño dice")
                                                    << QByteArray("/fetch");
    }

    void verdicts()
    {
        QFETCH(QByteArray, stream);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(QByteArray, path);
        for (const qsizetype piece : {stream.size(), qsizetype(7), qsizetype(1)}) {
            RequestFramer framer(kLimit);
            RequestFramer::Refusal refusal;
            for (qsizetype at = 0; at < stream.size() && !refusal; at += piece)
                refusal = framer.feed(QByteArrayView(stream).sliced(at, qMin(piece, stream.size() - at)));
            QCOMPARE(refusal.status, status);
            QCOMPARE(refusal.message, message);
            QCOMPARE(framer.path(), path);
        }
    }
};

QTEST_GUILESS_MAIN(TestRequestFramer)
#include "tst_requestframer.moc"
