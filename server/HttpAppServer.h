#pragma once
// The application server over HTTP with JSON. Each workstation logs in once (POST /login with user
// and password) and receives a signed, expiring token; then it fetches, applies and calls server
// methods (POST /fetch, /fetchMany, /apply, /call) with that token. The server keeps nothing between requests
// but its database connections, so several instances can serve the same clients in turn.
// Each user works only with the companies GN_USEMP grants it: a login, a session or a provider
// parameter naming another company gets 403 with the reason, and the rows of a fetch keep to
// the user's companies.
// A token stops working for good when the user's password, state (disabled) or companies change,
// or the user is removed: it carries the user's credential stamp (of the stored hash and the
// user's credential version), compared on every request. It also names its session (GN_SESIO),
// which an administrator may end (qacsemaf user revoke); the session's state is read with the
// user, in the same one read. Logins, refused logins and saves go to the audit record (GN_AUDIT)
// with the client's address. Repeated failed logins of one
// user are refused for a growing while (429 with Retry-After).
// Protocol faults get a 4xx answer with a message; refusals of the server core (a stale update, a
// statement the guard does not accept) come back as 422 with the core's message. A request whose
// body is over the limit is refused from its head, or as soon as its bytes pass the limit, and
// its connection is closed, before the body is held anywhere. One log line per request.
// POST /password changes the session user's own password ({"password": current, "newPassword":
// new}): a wrong current password is 401 and counts as a failed login, a new one the password
// policy refuses 422; a change ends the user's other tokens and answers this session's new one.
// GET /health answers without a session whether the database can be read, and nothing more;
// GET /metrics, also without one, the server's counts (ServerMetrics) unless turned off. While
// `qacsemaf migrate` works on the database every other request gets 503 "in maintenance".

#include "server/LoginThrottle.h"
#include "server/ServerMetrics.h"
#include "appserver/ServerCore.h"
#include "server/SessionToken.h"

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QSslConfiguration>

class QHostAddress;
class QTextStream;

class HttpAppServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    struct Settings {
        QByteArray secret;                       // shared by every instance
        int tokenSeconds = 8 * 3600;
        qint64 maxRequestBytes = 4 * 1024 * 1024;
        QString databaseName;                    // what a workstation names as its alias
        QSslConfiguration tls;                   // null: plain HTTP
        LoginThrottle::Policy logins;
        bool metrics = true;                     // GET /metrics answers
        int minPasswordLength = appserver::PasswordPolicy::kDefaultMinLength;   // POST /password
    };

    HttpAppServer(appserver::ServerCore &core, Settings settings, QObject *parent = nullptr);

    // Listens on address:port (0: any free port), over TLS when the settings have it, with every
    // connection watched for requests over the size limit. The port, or 0 when it cannot listen.
    // (QAbstractHttpServer's own listen would skip the watch.)
    quint16 listen(const QHostAddress &address, quint16 port);

    const Settings &settings() const { return m_settings; }
    // Takes the certificate and key, the tokens' lifetime, the request limit, /metrics and the
    // passwords' minimum length of `settings`
    // for the connections and logins to come (SIGHUP); the secret, the database's name and the
    // login policy stay, and so does plain HTTP or HTTPS, which the listeners were made for.
    void reload(const Settings &settings);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    struct Answer {
        Answer() = default;
        Answer(int status, QJsonObject body, QString what = {}, qint64 rows = -1)
            : status(status), body(std::move(body)), what(std::move(what)), rows(rows) {}
        int status = 200;
        QJsonObject body;
        QByteArray text;   // the body already written as JSON (a fetch's rows); wins over body
        QByteArray contentType = QByteArrayLiteral("application/json");
        QString user;
        QString what;   // provider or method
        qint64 rows = -1;
        int retryAfter = 0;   // seconds, for a 429
    };

    Answer answer(const QHttpServerRequest &request);
    Answer login(const QJsonObject &body);
    Answer route(const QString &path, const protocol::Credentials &session, const appserver::CompanyAccess &access,
                 const QJsonObject &body);
    Answer fetch(const protocol::Credentials &session, const appserver::CompanyAccess &access,
                 const QJsonObject &body);
    Answer fetchMany(const protocol::Credentials &session, const appserver::CompanyAccess &access,
                     const QJsonObject &body);
    Answer apply(const protocol::Credentials &session, const appserver::CompanyAccess &access,
                 const QJsonObject &body);
    Answer call(const protocol::Credentials &session, const appserver::CompanyAccess &access,
                const QJsonObject &body);
    // POST /password: the session's user changes its own password; a new token for this session.
    Answer changePassword(const protocol::Credentials &session, const QJsonObject &body);
    // Reads the user's companies into access; a 403 answer when the session's company is not
    // one of them (500 when they cannot be read), else a 200 one.
    Answer companyRefusal(const protocol::Credentials &session, appserver::CompanyAccess *access);
    static QString sessionCompanyRefusal(const appserver::CompanyAccess &access, const QString &company);
    // A 200 answer when the request carries a valid token whose credential stamp is still the
    // user's (session filled); else the 401 answer, or a 500 one when the stamp cannot be read.
    Answer authenticate(const QHttpServerRequest &request, const QJsonObject &body, protocol::Credentials *session);
    // A 200 answer when the user may have a token (its credential stamp filled); else the
    // refusal: 429 while the user must wait after failed logins, 401, 403 or 500.
    Answer proveLogin(const protocol::Credentials &session, QByteArray *stamp);
    // The session and token of a login whose password was proved; a 500 answer when the session
    // cannot be written.
    Answer issueToken(const QString &user, const QByteArray &stamp);
    void auditRefusedLogin(const QString &typed, const Answer &refusal);
    // A client's address as the audit record and the sessions name it (IPv4 as such).
    static QString clientText(const QHostAddress &address);
    // The 429 answer while `user` must wait after failed logins, else a 200 one.
    Answer loginWait(const QString &user);
    void watch(QTcpSocket *socket);
    Answer health();
    Answer metrics();
    // One line per request: ISO time with its offset, client address, user, path, provider or
    // method, status, rows and milliseconds.
    void log(const QHostAddress &client, const QString &path, const Answer &answer, qint64 ms) const;
    static QString logTime();
    static void logEvent(const QString &text);

    appserver::ServerCore &m_core;
    Settings m_settings;
    SessionToken m_tokens;
    LoginThrottle m_logins;
    QElapsedTimer m_clock;   // monotonic, for the login throttle
    ServerMetrics m_metrics;
};
