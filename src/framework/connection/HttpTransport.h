#pragma once
// The http transport: the module's calls as JSON to qacsemaf-server. The session's user and
// password log in once; the token the server gives back goes with every call and is renewed by a
// new login when the server no longer accepts it (expired, or the password changed). Failures of
// the network come back as errors with a message for the user, like any refusal of the server;
// the next call tries again, so the module works once the server is back.
// An https:// server must show a certificate that the system's authorities trust, or the one in
// the file named by QACSEMAF_CA_FILE (a load call's server text takes no options).

#include "framework/connection/BlockingHttpClient.h"
#include "framework/connection/ITransport.h"

#include <QJsonObject>

class HttpTransport : public ITransport {
public:
    // server: "host:port", "http://host:port" or "https://host[:port]"; database: the alias the
    // server must serve (empty: whatever it serves). Throws EDatabaseError when the server text
    // or the trusted certificates file cannot be used.
    HttpTransport(const QString &server, QString database, int timeoutMs = 120000);

    struct Address {
        QString host;
        quint16 port = 0;
        bool tls = false;
    };
    // False with a message when `server` is none of those forms.
    static bool parseServer(const QString &server, Address *address, QString *error);
    // The system's authorities plus those of QACSEMAF_CA_FILE; false with a message when that
    // file holds no certificate.
    static bool tlsConfiguration(BlockingHttpClient::Tls *out, QString *error);

    protocol::FetchResult fetch(const protocol::FetchRequest &request) override;
    QString fetchEach(const protocol::FetchRequest &request, protocol::RowSink &sink) override;
    QList<protocol::FetchResult> fetchMany(const QList<protocol::FetchRequest> &requests) override;
    protocol::ApplyResult apply(const protocol::ApplyRequest &request) override;
    protocol::MethodResult call(const protocol::MethodCall &call) override;

private:
    // Posts with the session's token, logging in first when there is none or it expired.
    // Empty on success (answer filled with the JSON text), else the message for the user.
    QString exchange(const protocol::Credentials &session, const QString &path, QJsonObject body,
                     QByteArray *answer);
    QString login(const protocol::Credentials &session);

    // The request as JSON with the session's company, posted; its answer's text.
    template <class Request>
    QString post(const Request &request, const QString &path, QByteArray *answer);
    template <class Result, class Request>
    Result roundTrip(const Request &request, const QString &path);

    QString m_database;
    std::unique_ptr<BlockingHttpClient> m_client;
    QString m_tokenUser, m_tokenPassword;
    QByteArray m_token;
};
