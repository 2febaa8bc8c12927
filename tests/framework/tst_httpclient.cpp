// The workstation's HTTP client against servers scripted byte by byte, and what the user reads.

#include "framework/connection/BlockingHttpClient.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <future>
#include <thread>

namespace {

// Answers each request with the next of `answers` on a thread of its own (the client blocks).
class ScriptedServer {
public:
    explicit ScriptedServer(QList<QByteArray> answers, bool closeAfter = false)
    {
        std::promise<quint16> listening;
        m_port = 0;
        m_thread = std::thread([this, answers, closeAfter, &listening] {
            QTcpServer server;
            server.listen(QHostAddress::LocalHost);
            listening.set_value(server.serverPort());
            std::unique_ptr<QTcpSocket> socket;
            for (const QByteArray &answer : answers) {
                if (!socket || socket->state() != QAbstractSocket::ConnectedState) {
                    if (!server.waitForNewConnection(10000))
                        return;
                    socket.reset(server.nextPendingConnection());
                    ++m_connections;
                }
                if (!readRequest(socket.get()))
                    return;
                socket->write(answer);
                socket->waitForBytesWritten(10000);
                if (closeAfter) {
                    socket->disconnectFromHost();
                    if (socket->state() != QAbstractSocket::UnconnectedState)
                        socket->waitForDisconnected(1000);
                    socket.reset();
                }
            }
            // Holds the last connection open until the client is done with it.
            if (socket)
                socket->waitForDisconnected(3000);
        });
        m_port = listening.get_future().get();
    }
    ~ScriptedServer() { m_thread.join(); }

    quint16 port() const { return m_port; }
    int connections() const { return m_connections; }

private:
    static bool readRequest(QTcpSocket *socket)
    {
        QByteArray received;
        int headerEnd = -1;
        while ((headerEnd = received.indexOf("\r\n\r\n")) < 0) {
            if (!socket->waitForReadyRead(10000))
                return false;
            received += socket->readAll();
        }
        const QByteArray headers = received.left(headerEnd).toLower();
        const int at = headers.indexOf("content-length:");
        const qint64 length = at < 0 ? 0 : headers.mid(at + 15, headers.indexOf('\r', at) - at - 15).trimmed().toLongLong();
        while (received.size() - headerEnd - 4 < length) {
            if (!socket->waitForReadyRead(10000))
                return false;
            received += socket->readAll();
        }
        return true;
    }

    std::thread m_thread;
    quint16 m_port;
    std::atomic<int> m_connections{0};
};

QByteArray whole(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size())
           + "\r\n\r\n" + body;
}

QByteArray chunked(const QList<QByteArray> &chunks)
{
    QByteArray answer = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (const QByteArray &chunk : chunks)
        answer += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    return answer + "0\r\n\r\n";
}

} // namespace

class TestHttpClient : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void answers_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<qint64>("cap");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("error");   // %1: the server's port

        const QByteArray big(1500, 'x');
        const QString lost = QStringLiteral("Se perdió la conexión con el servidor de aplicaciones 127.0.0.1:%1; la "
                                            "operación no se completó.");
        const QString overCap = QStringLiteral("La respuesta del servidor de aplicaciones 127.0.0.1:%1 supera el máximo "
                                               "de 1000 bytes; la operación no se completó.");
        QTest::newRow("in chunks") << chunked({"{\"rows\":", "[1,2,", "3]}"}) << qint64(1000) << 200
                                   << QByteArray("{\"rows\":[1,2,3]}") << QString();
        QTest::newRow("exactly the cap") << whole(QByteArray(1000, 'y')) << qint64(1000) << 200
                                         << QByteArray(1000, 'y') << QString();
        QTest::newRow("length over the cap") << whole(big) << qint64(1000) << 0 << QByteArray() << overCap;
        QTest::newRow("chunks over the cap") << chunked({big.left(700), big.mid(700)}) << qint64(1000) << 0
                                             << QByteArray() << overCap;
        QTest::newRow("broken off") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n{\"partial") << qint64(1000)
                                    << 0 << QByteArray() << lost;
        QTest::newRow("nothing") << QByteArray() << qint64(1000) << 0 << QByteArray() << lost;
        QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH\r\n\r\n") << qint64(1000) << 0 << QByteArray()
                                  << QStringLiteral("El servidor de aplicaciones dio una respuesta que no se entiende.");
    }

    void answers()
    {
        QFETCH(QByteArray, answer);
        QFETCH(qint64, cap);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, error);
        ScriptedServer server({answer}, true);
        BlockingHttpClient client(QStringLiteral("127.0.0.1"), server.port(), 5000);
        client.setMaxAnswerBytes(cap);
        const BlockingHttpClient::Response response = client.post(QStringLiteral("/fetch"), "{}");
        QCOMPARE(response.error, error.contains(QLatin1String("%1")) ? error.arg(server.port()) : error);
        QCOMPARE(response.status, status);
        QCOMPARE(response.body, body);
    }

    // Calls share one connection; one closed by the server is opened again without an error.
    void keptAlive_data()
    {
        QTest::addColumn<bool>("serverCloses");
        QTest::addColumn<int>("connections");
        QTest::newRow("kept alive") << false << 1;
        QTest::newRow("closed by the server") << true << 3;
    }

    void keptAlive()
    {
        QFETCH(bool, serverCloses);
        QFETCH(int, connections);
        {
            ScriptedServer server({whole("1"), chunked({"2"}), whole("3")}, serverCloses);
            BlockingHttpClient client(QStringLiteral("127.0.0.1"), server.port(), 5000);
            for (const QByteArray expected : {"1", "2", "3"}) {
                const BlockingHttpClient::Response response = client.post(QStringLiteral("/call"), "{}");
                QCOMPARE(response.error, QString());
                QCOMPARE(response.body, expected);
            }
            QCOMPARE(server.connections(), connections);
        }
    }

    // A server that is not there, or that takes the call and never answers.
    void noAnswer_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::addColumn<QString>("error");   // %1: the port
        QTest::newRow("refused") << false << QStringLiteral("No se pudo conectar con el servidor de "
                                                            "aplicaciones 127.0.0.1:%1 (Connection refused); "
                                                            "la operación no se completó.");
        QTest::newRow("silent") << true << QStringLiteral("El servidor de aplicaciones 127.0.0.1:%1 no "
                                                          "respondió a tiempo; la operación no se completó.");
    }

    void noAnswer()
    {
        QFETCH(bool, listening);
        QFETCH(QString, error);
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const quint16 port = server.serverPort();
        if (!listening)
            server.close();
        BlockingHttpClient client(QStringLiteral("127.0.0.1"), port, 1000);
        const BlockingHttpClient::Response response = client.post(QStringLiteral("/fetch"), "{}");
        QCOMPARE(response.status, 0);
        QCOMPARE(response.error, error.arg(port));
    }

    // (A real certificate is trusted through the file in tst_httpguards.)
    void certificatesFileRefused()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("ca.pem"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("-----BEGIN CERTIFICATE-----\nnot base64\n-----END CERTIFICATE-----\n");
        out.close();
        QVERIFY(!BlockingHttpClient::holdsCertificates(file));
        QVERIFY(!BlockingHttpClient::holdsCertificates(dir.filePath(QStringLiteral("missing.pem"))));
    }
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
