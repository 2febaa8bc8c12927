#pragma once
// The http transport: the module's calls as JSON to qacsemaf-server. The session's user and
// password log in once; the token the server gives back goes with every call. When the server no
// longer accepts it (expired, the password or the user's state changed, ended by an
// administrator) the transport asks for the password through its SessionRenewal, logs in with it
// and repeats the call; without an answer the call fails with the server's reason, and so does
// every later call until a login succeeds. Failures of the network come back as errors with a
// message for the user, like any refusal of the server; the next call tries again, so the module
// works once the server is back.
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
    // POST /password; the token it answers replaces this session's.
    QString changePassword(const protocol::Credentials &session, const QString &current, const QString &next) override;
    void setSessionRenewal(SessionRenewal renewal) override { m_renewal = std::move(renewal); }

private:
    // Posts with the session's token, logging in first when there is none yet or the session
    // names another user or password, and renewing the session when the server ended it.
    // Empty on success (answer filled with the JSON text), else the message for the user.
    QString exchange(const protocol::Credentials &session, const QString &path, const QByteArray &payload,
                     QByteArray *answer);
    QString exchange(const protocol::Credentials &session, const QString &path, const QJsonObject &body,
                     QByteArray *answer);
    // Logs in; empty when the token is the new one, else the refusal (the token as it was).
    QString login(const QString &user, const QString &password);
    // Asks for the password until a login with it succeeds: empty then, else `reason`.
    QString renew(const QString &user, const QString &reason);

    // The request as JSON with the session's company, posted; its answer's text.
    template <class Request>
    QString post(const Request &request, const QString &path, QByteArray *answer);
    template <class Result, class Request>
    Result roundTrip(const Request &request, const QString &path);

    QString m_database;
    std::unique_ptr<BlockingHttpClient> m_client;
    QString m_tokenUser, m_tokenPassword;
    QByteArray m_token;
    SessionRenewal m_renewal;
};
