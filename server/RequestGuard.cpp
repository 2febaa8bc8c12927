#include "server/RequestGuard.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 413:
        return "Content Too Large";
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Bad Request";
    }
}

} // namespace

RequestGuard::RequestGuard(QTcpSocket *socket, qint64 maxBodyBytes)
    : QObject(socket), m_socket(socket), m_framer(maxBodyBytes)
{
    connect(socket, &QTcpSocket::readyRead, this, &RequestGuard::inspect);
}

// The parser reads everything the socket holds each time it hears readyRead (inside a transaction
// of the socket while a request is incomplete), so what is available now is exactly what neither
// of us has seen yet. Peeking leaves it for the parser.
void RequestGuard::inspect()
{
    const RequestFramer::Refusal refusal = m_framer.feed(m_socket->peek(m_socket->bytesAvailable()));
    if (refusal)
        answer(refusal);
}

void RequestGuard::answer(const RequestFramer::Refusal &refusal)
{
    // Nobody else reads this connection again, and nothing more is read from it: closing stops
    // the reading, after the answer has gone out.
    disconnect(m_socket, &QTcpSocket::readyRead, nullptr, nullptr);
    const QByteArray body =
        QJsonDocument(QJsonObject{{QStringLiteral("error"), refusal.message}}).toJson(QJsonDocument::Compact);
    m_socket->write("HTTP/1.1 " + QByteArray::number(refusal.status) + ' ' + reasonPhrase(refusal.status)
                    + "\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size())
                    + "\r\nConnection: close\r\n\r\n" + body);
    m_socket->disconnectFromHost();
    emit refused(QString::fromLatin1(m_framer.path()), refusal.status, refusal.message);
}
