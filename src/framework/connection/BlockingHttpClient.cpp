#include "framework/connection/BlockingHttpClient.h"

#include <QSslSocket>
#include <QStringList>

BlockingHttpClient::BlockingHttpClient(QString host, quint16 port, int timeoutMs, QSslConfiguration tls)
    : m_host(std::move(host)), m_port(port), m_timeoutMs(timeoutMs), m_tls(std::move(tls))
{
}

BlockingHttpClient::~BlockingHttpClient() = default;

BlockingHttpClient::Response BlockingHttpClient::post(const QString &path, const QByteArray &body,
                                                      const QByteArray &bearer)
{
    QByteArray request = "POST " + path.toLatin1() + " HTTP/1.1\r\nHost: " + m_host.toLatin1() + ':'
                         + QByteArray::number(m_port) + "\r\nContent-Type: application/json\r\nContent-Length: "
                         + QByteArray::number(body.size()) + "\r\n";
    if (!bearer.isEmpty())
        request += "Authorization: Bearer " + bearer + "\r\n";
    request += "\r\n" + body;
    // A kept-alive connection may have been closed by the server (a restart, an idle timeout):
    // when nothing of the answer came back, the request never ran, and one fresh try is safe.
    const bool reused = m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
    bool sent = false;
    Response response = exchange(request, &sent);
    if (response.status == 0 && reused && !sent) {
        m_socket.reset();
        response = exchange(request, &sent);
    }
    return response;
}

bool BlockingHttpClient::connectIfNeeded(QString *error)
{
    if (m_socket && m_socket->state() == QAbstractSocket::ConnectedState)
        return true;
    bool connected = false;
    if (m_tls.isNull()) {
        m_socket = std::make_unique<QTcpSocket>();
        m_socket->connectToHost(m_host, m_port);
        connected = m_socket->waitForConnected(m_timeoutMs);
    } else {
        auto secure = std::make_unique<QSslSocket>();
        secure->setSslConfiguration(m_tls);
        secure->connectToHostEncrypted(m_host, m_port);
        connected = secure->waitForEncrypted(m_timeoutMs);
        m_socket = std::move(secure);
    }
    if (connected) {
        // Small requests one after another: waiting to coalesce them only adds latency.
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return true;
    }
    *error = connectionFailure();
    m_socket.reset();
    return false;
}

QString BlockingHttpClient::connectionFailure() const
{
    const auto *secure = qobject_cast<const QSslSocket *>(m_socket.get());
    const QList<QSslError> refused = secure ? secure->sslHandshakeErrors() : QList<QSslError>();
    if (refused.isEmpty())
        return QStringLiteral("No se pudo conectar con el servidor de aplicaciones %1:%2 (%3); la operación no se completó.")
            .arg(m_host).arg(m_port).arg(m_socket->errorString());
    QStringList reasons;
    for (const QSslError &error : refused)
        reasons << error.errorString();
    return QStringLiteral("El certificado del servidor de aplicaciones %1:%2 no es de confianza (%3); la operación no "
                          "se completó. Si lo firmó una autoridad propia, indique su certificado en la variable de "
                          "entorno QACSEMAF_CA_FILE (en la línea de órdenes, con --ca-file).")
        .arg(m_host).arg(m_port).arg(reasons.join(QStringLiteral("; ")));
}

// `sent` turns true once any byte of the answer arrived: from then on the request ran.
BlockingHttpClient::Response BlockingHttpClient::exchange(const QByteArray &request, bool *sent)
{
    Response response;
    if (!connectIfNeeded(&response.error))
        return response;
    m_socket->write(request);
    QByteArray statusLine;
    if (!readLine(&statusLine, &response.error)) {
        m_socket.reset();
        return response;
    }
    *sent = true;
    const QList<QByteArray> parts = statusLine.split(' ');
    const int status = parts.value(1).toInt();
    qint64 length = -1;
    bool close = false;
    for (QByteArray line; readLine(&line, &response.error) && !line.isEmpty();) {
        const int colon = line.indexOf(':');
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        response.headers.insert(name, value);
        if (name == "content-length")
            length = value.toLongLong();
        else if (name == "connection" && value.toLower() == "close")
            close = true;
    }
    if (!response.error.isEmpty() || status == 0 || length < 0
        || !readExactly(length, &response.body, &response.error)) {
        if (response.error.isEmpty())
            response.error = QStringLiteral("El servidor de aplicaciones dio una respuesta que no se entiende.");
        m_socket.reset();
        return response;
    }
    response.status = status;
    if (close)
        m_socket.reset();
    return response;
}

bool BlockingHttpClient::readLine(QByteArray *line, QString *error)
{
    while (!m_socket->canReadLine()) {
        if (!m_socket->waitForReadyRead(m_timeoutMs)) {
            *error = m_socket->state() == QAbstractSocket::ConnectedState
                         ? QStringLiteral("El servidor de aplicaciones %1:%2 no respondió a tiempo; la operación no se completó.")
                               .arg(m_host).arg(m_port)
                         : QStringLiteral("Se perdió la conexión con el servidor de aplicaciones %1:%2; la operación no se completó.")
                               .arg(m_host).arg(m_port);
            return false;
        }
    }
    *line = m_socket->readLine().trimmed();
    return true;
}

bool BlockingHttpClient::readExactly(qint64 size, QByteArray *out, QString *error)
{
    out->reserve(int(size));
    while (out->size() < size) {
        if (m_socket->bytesAvailable() == 0 && !m_socket->waitForReadyRead(m_timeoutMs)) {
            *error = QStringLiteral("Se perdió la conexión con el servidor de aplicaciones %1:%2; la operación no se completó.")
                         .arg(m_host).arg(m_port);
            return false;
        }
        out->append(m_socket->read(size - out->size()));
    }
    return true;
}
