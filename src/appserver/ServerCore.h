#pragma once
// The application server core: opened on a database, it answers fetches, applies and method
// calls for one client session at a time. Fetches run on a read-only connection, applies on a
// separate read-write one, opened only when the first apply comes. Every call checks the caller's
// user and password. Errors come back inside the results, with a message for the user; nothing is
// thrown out of the core.
// On PostgreSQL each request is one transaction that reaches only the rows of the user's companies
// (row security), passwords and grants are read on the writer's login (the reading role may not
// see them), and a connection the database ended is opened again by the next request.
// Every save is written to the audit record (GN_AUDIT) in its own transaction, with the client's
// address ("local" on the in-process road); the HTTP server's logins and sessions go through here
// too (openSession, sessionStamp, audit).
// A core and its connections belong to the thread that opened it; a server with several
// threads gives each its own core.

#include "appserver/CompanyAccess.h"
#include "appserver/DatabaseDescription.h"
#include "appserver/PasswordPolicy.h"
#include "appserver/ProtocolNames.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <memory>

namespace appserver {

class SqlConnection;
struct ProviderDef;

class ServerCore {
public:
    ServerCore();
    ~ServerCore();
    ServerCore(const ServerCore &) = delete;
    ServerCore &operator=(const ServerCore &) = delete;

    // Empty on success, else why the database could not be opened.
    QString open(const DatabaseDescription &description);
    void close();
    bool isOpen() const;
    const DatabaseDescription &description() const;

    // A fetch runs one of the module's registered statements and keeps to the companies of the
    // session's user: those of `access` when given (the HTTP server reads them per request),
    // else as the core read them last, at most a second ago.
    FetchResult fetch(const FetchRequest &request, const CompanyAccess *access = nullptr);
    // The same fetch handed to `sink` row by row; the error text, empty on success. The sink
    // must not throw.
    QString fetchEach(const FetchRequest &request, RowSink &sink, const CompanyAccess *access = nullptr);
    // Applies and calls keep to the user's companies as fetches do.
    ApplyResult apply(const ApplyRequest &request, const CompanyAccess *access = nullptr);
    MethodResult call(const MethodCall &call, const CompanyAccess *access = nullptr);
    // Whether the last fetch, apply or call was refused (a text that is no statement of the
    // module's, a company the user may not use) rather than failed; every refusal is logged
    // with its user.
    bool lastRefused() const;

    // Empty when the user exists and the password is right, else the refusal.
    QString login(const Credentials &session);
    // The HTTP server proves the password once, at login, and then vouches for the user with a
    // signed token: with this set, a call's session needs only a user that still exists.
    void setSessionsProvedUpstream(bool upstream);
    // The companies a user may work with; empty, or why they could not be read.
    QString companyAccess(const QString &user, CompanyAccess *access);

    // Empty when the database answers a read now (a lost connection is opened again first),
    // else why it does not: what a health check reports.
    QString checkHealth();

    // The refusal while `qacsemaf migrate` holds the database's maintenance mark (MaintenanceMark),
    // else empty; looked at again at most once a second. A mark that cannot be read counts as none:
    // the request then meets the database's own error.
    QString maintenance();
    // How many times a database connection was opened again after the database ended it.
    qint64 reconnects() const;

    // Lines for the administrator (a database connection opened again); qInfo until set.
    void setLog(std::function<void(const QString &)> log);

private:
    // What the database keeps of one user.
    struct UserRecord {
        bool found = false;
        bool active = false;   // found and not disabled
        QString password;
        qint64 version = 0;    // raised by each change of password, state or companies
        bool sessionFound = false;   // the session asked about is the user's
        bool sessionEnded = false;   // and an administrator ended it
    };

    // Empty when the session may work, else the refusal.
    QString checkSession(const Credentials &session);
    // With `session`, that session's row is read in the same statement.
    QString readUser(const QString &user, UserRecord *record, const QString &session = {});
    QString checkSchema();
    // The user's companies as read at most a second ago; empty, or why they could not be read.
    QString recentAccess(const QString &user, const CompanyAccess **access);
    // The audit row of a save, written in the save's transaction; empty, or why it was not.
    QString auditSave(const ProviderDef &provider, const ApplyRequest &request);
    void logRefusal(const Credentials &session, const QString &what, const QString &error,
                    const QString &text = {}) const;
    // The connection that reads passwords and grants: the writer's on PostgreSQL, else the reader.
    QString credentials(SqlConnection **connection);
    // Runs work(query) in a request of its own on `connection`, once more when the database
    // ended the connection meanwhile (it only reads); empty, or why it failed.
    template <class Work>
    QString readOn(SqlConnection &connection, Work work);
    // Reads one statement of the server's own (":name" markers, `values` in their order) in a
    // request of its own on `connection`, through the connection's direct reader: on PostgreSQL
    // the request is one round trip. Once more when the database ended the connection meanwhile.
    QString readOwn(SqlConnection &connection, const QString &statement, const QVariantList &values,
                    FetchResult *result);
    // Runs work() (a fetch or method) in one request of the reader; `mayRetry` tells whether a
    // read cut short by a lost connection may start again.
    template <class Result, class Work, class MayRetry>
    // `oneRead`: the work is one read (a fetch), which the request's end may go with.
    Result readRequest(const QList<int> &companies, Work work, MayRetry mayRetry, bool oneRead);
    template <class Result, class Work>
    Result forSession(const Credentials &session, const CompanyAccess *access, Work work);
    template <class Result, class Request, class Work>
    Result forProvider(const Request &request, const CompanyAccess *access, Work work);
    template <class Work, class MayRetry>
    FetchResult forFetch(const FetchRequest &request, const CompanyAccess *access, Work work, MayRetry mayRetry);

    struct Private;
    std::unique_ptr<Private> d;

public:
    // A short digest of the user's stored password hash and credential version: a new password
    // (even the same one stored again), and any change of the user's state or companies, changes
    // it for good; empty when the user does not exist or is disabled. Empty, or why it could not
    // be read.
    QString credentialStamp(const QString &user, QByteArray *stamp);

    // The audit record (AuditTrail, GN_AUDIT) and the sessions the HTTP server hands out
    // (SessionRecords, GN_SESIO), both written on the writer's connection.
    //
    // The address the next requests come from, as the record and the sessions name it: the HTTP
    // server sets its client's before each request; "local" (the in-process road) until then.
    void setClientAddress(const QString &address);
    const QString &clientAddress() const;
    // Runs work(db) (may be empty) and adds the audit row (`user`, an AuditTrail action, a short
    // detail; now, from the client's address) in one transaction of the writer: both are kept or
    // neither. Empty, or why not (work's own error as it gave it).
    QString writeWithAudit(const std::function<QString(const QSqlDatabase &)> &work, const QString &user,
                           const QString &action, const QString &detail);
    // One audit row alone, in a transaction of its own.
    QString audit(const QString &user, const QString &action, const QString &detail);
    // A session of `user`, whose password was just proved, until expiresAtSecs: a new row of
    // GN_SESIO from the client's address, with its login in the audit record (and the rows long
    // expired removed), in one transaction. Empty (`id` filled), or why not.
    QString openSession(const QString &user, qint64 expiresAtSecs, QString *id);
    enum class SessionState { Open, Ended, Unknown };
    // The user's credential stamp (as credentialStamp) and the state of its session `id`, read
    // together in the one read of the user a request costs.
    QString sessionStamp(const QString &user, const QString &id, QByteArray *stamp, SessionState *state);
    // A user's change of its own password: the session as for any call, `current` the password
    // the user typed now (proved again, whatever proved the session), `next` checked against
    // `policy`. The new hash is stored and the user's credential version raised, which ends the
    // user's other sessions on the HTTP server.
    struct PasswordChange {
        enum class Outcome { Changed, WrongPassword, Refused, Failed };
        Outcome outcome = Outcome::Failed;
        QString error;   // for the user; empty when changed
    };
    PasswordChange changePassword(const Credentials &session, const QString &current, const QString &next,
                                  const PasswordPolicy &policy = PasswordPolicy());

private:
    // Stores `hash` as the user's password and raises its credential version, in one request of
    // the writer; empty, or why not.
    QString storePassword(const QString &user, const QString &hash);
};

} // namespace appserver
