// What qacsemaf-server refuses to protect itself and its users, met over real connections: bodies
// over the limit, which it does not hold.

#include "DataTable.h"
#include "DemoDatabase.h"
#include "ServerProcess.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QtTest>

namespace {

QString errorOf(const QByteArray &body)
{
    return QJsonDocument::fromJson(body).object().value(QLatin1String("error")).toString();
}

// The highest resident memory the process has had, in MiB.
qint64 peakMegabytes(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() / 1024;
    return -1;
}

} // namespace

class TestHttpGuards : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(m_db.isValid(), qPrintable(m_db.error()));
        const QString started = m_server.start({QStringLiteral("--db"), m_db.path(), QStringLiteral("--max-request-bytes"),
                                                QStringLiteral("65536")});
        QVERIFY2(started.isEmpty(), qPrintable(started));
        m_db.startSession(1);
    }

    // The head goes first, then the body in pieces for as long as the server keeps reading.
    void oversizedBodiesAreRefusedUnread_data()
    {
        addColumns<QByteArray, QByteArray, QString>({"head", "piece", "message"});
        const QByteArray block(65536, ' ');
        QTest::newRow("declared length") << QByteArray("Content-Length: 209715200\r\n") << block
                                         << "La solicitud ocupa 209715200 bytes; el máximo es 65536 bytes.";
        QTest::newRow("chunks") << QByteArray("Transfer-Encoding: chunked\r\n") << "8000\r\n" + block.left(32768) + "\r\n"
                                << "La solicitud supera el máximo de 65536 bytes.";
    }

    void oversizedBodiesAreRefusedUnread()
    {
        QFETCH(QByteArray, head);
        QFETCH(QByteArray, piece);
        QFETCH(QString, message);
        constexpr qint64 total = 200 * 1024 * 1024;
        QTcpSocket socket;
        QByteArray answer;
        // Taken as it comes: the server closes at once, and a closed socket keeps nothing.
        connect(&socket, &QTcpSocket::readyRead, this, [&] { answer += socket.readAll(); });
        socket.connectToHost(QStringLiteral("127.0.0.1"), m_server.port());
        QVERIFY(socket.waitForConnected(10000));
        socket.write("POST /apply HTTP/1.1\r\nHost: servidor\r\nContent-Type: application/json\r\n" + head + "\r\n");
        qint64 sent = 0;
        while (sent < total && socket.state() == QAbstractSocket::ConnectedState) {
            socket.write(piece);
            socket.waitForBytesWritten(10000);
            sent += piece.size();
        }
        while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(10000)) {
        }
        QVERIFY2(sent < total / 10, qPrintable(QString::number(sent)));
        QVERIFY2(answer.startsWith("HTTP/1.1 413 "), answer.constData());
        QCOMPARE(errorOf(answer.mid(answer.indexOf("\r\n\r\n") + 4)), message);
        // Whole, such a body took three times its size.
        QVERIFY2(peakMegabytes(m_server.pid()) < 100, qPrintable(QString::number(peakMegabytes(m_server.pid()))));
    }

private:
    DemoDatabase m_db;
    ServerProcess m_server;
};

QTEST_GUILESS_MAIN(TestHttpGuards)
#include "tst_httpguards.moc"
