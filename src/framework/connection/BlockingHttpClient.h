#pragma once
// A small HTTP/1.1 client that waits for its answer: the module's calls to the application
// server are synchronous on the UI thread, and a nested event loop there would let other
// handlers run in the middle of a dataset operation. One kept-alive connection, reopened when
// the server has closed it. Given a TLS configuration, it speaks HTTPS and refuses a server whose
// certificate the configuration does not trust.

#include <QByteArray>
#include <QMap>
#include <QSslConfiguration>
#include <QString>
#include <memory>

class QTcpSocket;

class BlockingHttpClient {
public:
    struct Response {
        int status = 0;          // 0: no answer (error says why)
        QByteArray body;
        QMap<QByteArray, QByteArray> headers;   // names in lower case
        QString error;
    };

    // tls: null for plain HTTP.
    BlockingHttpClient(QString host, quint16 port, int timeoutMs, QSslConfiguration tls = {});
    ~BlockingHttpClient();

    Response post(const QString &path, const QByteArray &body, const QByteArray &bearer = {});

private:
    bool connectIfNeeded(QString *error);
    QString connectionFailure() const;
    Response exchange(const QByteArray &request, bool *sent);
    bool readLine(QByteArray *line, QString *error);
    bool readExactly(qint64 size, QByteArray *out, QString *error);

    QString m_host;
    quint16 m_port;
    int m_timeoutMs;
    QSslConfiguration m_tls;
    std::unique_ptr<QTcpSocket> m_socket;
};
