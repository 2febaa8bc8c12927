#pragma once
// A small HTTP/1.1 client over libcurl that waits for its answer: the module's calls to the
// application server are synchronous on the UI thread, and a nested event loop there would let
// other handlers run in the middle of a dataset operation. One handle per client, so one
// kept-alive connection, reopened when the server has closed it. Answers may come whole or in
// chunks. Given TLS, it speaks HTTPS and refuses a server whose certificate neither the system's
// authorities nor the extra authorities file vouch for.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <memory>

class BlockingHttpClient {
public:
    // Value-initialized ({}): plain HTTP.
    struct Tls {
        bool enabled;
        QString caFile;   // PEM certificates trusted beside the system's; empty: the system's alone
    };

    struct Response {
        int status = 0;          // 0: no answer (error says why)
        QByteArray body;
        QMap<QByteArray, QByteArray> headers;   // names in lower case
        QString error;
    };

    // The largest answer taken by default: far above the largest read of the module.
    static constexpr qint64 kDefaultMaxAnswerBytes = qint64(512) * 1024 * 1024;

    // timeoutMs bounds connecting and each wait for the server while it answers.
    BlockingHttpClient(QString host, quint16 port, int timeoutMs, Tls tls = {});
    ~BlockingHttpClient();
    BlockingHttpClient(const BlockingHttpClient &) = delete;
    BlockingHttpClient &operator=(const BlockingHttpClient &) = delete;

    // An answer longer than this is refused (and its connection dropped).
    void setMaxAnswerBytes(qint64 bytes) { m_maxAnswerBytes = bytes; }

    Response post(const QString &path, const QByteArray &body, const QByteArray &bearer = {});

    // Whether `file` holds at least one PEM certificate.
    static bool holdsCertificates(const QString &file);

    // What one post gathers while libcurl hands it over.
    struct Transfer;

private:
    QString failure(int code, const Transfer &transfer) const;
    QString where() const;

    QString m_host;
    quint16 m_port;
    int m_timeoutMs;
    Tls m_tls;
    qint64 m_maxAnswerBytes = kDefaultMaxAnswerBytes;
    void *m_curl = nullptr;   // CURL *, kept between calls for its connection
};
