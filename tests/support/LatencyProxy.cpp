#include "tests/support/LatencyProxy.h"

#include <QDebug>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// Lives in the proxy's thread: one pair of sockets per workstation connection.
class LatencyProxy::Relay : public QObject {
public:
    Relay(quint16 serverPort, int delayMs, std::atomic<qint64> &requests)
        : m_serverPort(serverPort), m_delayMs(delayMs), m_requests(requests)
    {
    }

    quint16 listen()
    {
        m_server = new QTcpServer(this);
        if (!m_server->listen(QHostAddress::LocalHost, 0))
            return 0;
        connect(m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *client = m_server->nextPendingConnection())
                pair(client);
        });
        return m_server->serverPort();
    }

private:
    struct Link {
        QPointer<QTcpSocket> client;
        QPointer<QTcpSocket> upstream;
        QByteArray held;           // the request's bytes waiting for the delay
        bool answered = true;      // the server answered the last request: what comes is a new one
        bool waiting = false;      // a delayed write is due
    };

    void pair(QTcpSocket *client)
    {
        auto *link = new Link;
        link->client = client;
        link->upstream = new QTcpSocket(client);
        link->upstream->connectToHost(QHostAddress::LocalHost, m_serverPort);
        connect(client, &QTcpSocket::readyRead, client, [this, link] { fromClient(*link); });
        connect(link->upstream, &QTcpSocket::readyRead, client, [link] {
            link->answered = true;
            link->client->write(link->upstream->readAll());
        });
        connect(link->upstream, &QTcpSocket::disconnected, client, [link] { link->client->disconnectFromHost(); });
        connect(client, &QTcpSocket::disconnected, client, [client] { client->deleteLater(); });
        connect(client, &QObject::destroyed, [link] { delete link; });
    }

    void fromClient(Link &link)
    {
        link.held += link.client->readAll();
        if (link.answered) {
            link.answered = false;
            ++m_requests;
            if (qEnvironmentVariableIsSet("QACSEMAF_PROXY_TRACE"))
                qInfo().noquote() << "proxy:" << QString::fromUtf8(link.held.mid(link.held.indexOf("\r\n\r\n") + 4, 160));
            link.waiting = true;
            QTimer::singleShot(m_delayMs, link.client, [&link] {
                link.waiting = false;
                link.upstream->write(link.held);
                link.held.clear();
            });
        } else if (!link.waiting) {
            link.upstream->write(link.held);
            link.held.clear();
        }
    }

    quint16 m_serverPort;
    int m_delayMs;
    std::atomic<qint64> &m_requests;
    QTcpServer *m_server = nullptr;
};

LatencyProxy::LatencyProxy(quint16 serverPort, int delayMs) : m_serverPort(serverPort), m_delayMs(delayMs) {}

LatencyProxy::~LatencyProxy()
{
    if (m_relay)
        QMetaObject::invokeMethod(m_relay, [this] { delete m_relay; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

QString LatencyProxy::start()
{
    m_relay = new Relay(m_serverPort, m_delayMs, m_requests);
    m_relay->moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(m_relay, [this] { m_port = m_relay->listen(); }, Qt::BlockingQueuedConnection);
    return m_port ? QString() : QStringLiteral("el proxy no pudo escuchar en 127.0.0.1");
}
