#pragma once
// The module's connection to the application server. Remote datasets fetch and apply through it;
// the main form calls server methods through it. It works with the session it is handed (the
// master form hands it its own, the command line its own); one that was handed none works with an
// empty session (local, on QACSEMAF_DB, no user). The transport is chosen from the session's
// protocol, alias and server when the connection is first needed: "local" (or none) runs the
// server core in-process on the SQLite file named by the alias (or by QACSEMAF_DB when the alias
// is empty); "pgsql" runs it on PostgreSQL, server "host[:port]", alias the database name (the
// database login comes from PGUSER/PGPASSWORD), both where the program installed them (see
// setInProcessTransports); "http" talks JSON to qacsemaf-server, server
// "host:port" (or "https://host[:port]", see HttpTransport), alias the database the server must
// serve (empty: whichever it serves).
// When the server ends the session (see SessionRenewal) the connection asks the process's renewal
// hook for the password, if a host installed one; the password that renewed the session, or that
// a change of password set, becomes the session's, and sessionChanged tells whoever handed it.

#include "framework/Session.h"
#include "framework/connection/AnswerMemo.h"
#include "framework/connection/ITransport.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class SDCOMConnection : public QObject {
    Q_OBJECT
public:
    explicit SDCOMConnection(QObject *owner = nullptr);
    ~SDCOMConnection() override;

    QString ServerGUID;
    QString ServerName;

    // The session the connection works with: user, password and company travel with every call.
    // A session for another place of the data closes the connection; it opens there when next
    // needed.
    void setSession(const Session &session);
    const Session &session() const { return m_session; }

    // Makes the connection from the session (protocol, alias, server); throws EDatabaseError.
    void Open();
    void Close();
    bool Connected() const;

    // Replaces the transport (a host or a test that brings its own); the connection owns it.
    void setTransport(std::unique_ptr<ITransport> transport);

    // How every connection of the process opens the transports that run the application-server
    // core in-process: "local" on an SQLite file, "pgsql" on server "host[:port]" and a database.
    // The framework links no server, so the program that offers them installs them once
    // (LocalTransport::install()); until then those protocols are refused.
    struct InProcessTransports {
        std::function<std::unique_ptr<ITransport>(const QString &file)> sqlite;
        std::function<std::unique_ptr<ITransport>(const QString &server, const QString &database)> postgres;
    };
    static void setInProcessTransports(InProcessTransports transports);

    // What every connection of the process asks for the password when the server ended its
    // session: the session's user and the server's reason (or the refusal of the password given
    // before); the password, or nothing when the user gives up. Empty: no one to ask (the command
    // line), the call then fails with the server's reason.
    using PasswordRequest = std::function<std::optional<QString>(const QString &user, const QString &reason)>;
    static void setSessionRenewal(PasswordRequest ask);

    // Changes the session user's password ("current" proved again, "next" as the server's policy
    // allows); the session goes on with the new one. Throws EDatabaseError with the refusal.
    void CambiarClave(const QString &current, const QString &next);

    // Each call is one round trip. They open the connection when needed and throw
    // EDatabaseError carrying the server's message when the server refuses. A fetch names a
    // statement of the module's catalogue (empty: the provider's own) and sends its values.
    protocol::FetchResult Fetch(const QString &provider, const QString &statement,
                                 const QList<protocol::ParamValue> &params);
    // A whole request (with conditions); the connection fills in the session.
    protocol::FetchResult Fetch(protocol::FetchRequest request);
    // Several reads in one round trip, answered in order. A read the server refuses comes back
    // with its error in its answer; only a failure of the whole call throws.
    QList<protocol::FetchResult> FetchMany(QList<protocol::FetchRequest> requests);
    // Reads `requests` in one round trip ahead of the reads an action is about to make: each
    // later fetch that asks the same as one of them takes its answer without a round trip. During
    // one user action (see UserAction) a fetch that asks again what the action read already
    // takes that answer too. A write, or another session, forgets them.
    void ReadAhead(const QList<protocol::FetchRequest> &requests);
    // The same fetch with the rows handed to `sink` as they are read, for a reader that keeps
    // its own form of them. What the sink throws is thrown from here once the server is done.
    void FetchEach(const QString &provider, const QString &statement, const QList<protocol::ParamValue> &params,
                   protocol::RowSink &sink);
    int Apply(const QString &provider, const QList<protocol::RowDelta> &deltas);
    // New rows of one shape in one round trip and one transaction (a save of thousands of rows).
    int Insert(const QString &provider, protocol::InsertRows rows);
    QVariant AppServerCall(const QString &method, const QVariantList &args);
    // Where the suite's programs are installed: `programs` is a comma-text list of program
    // codes, the answer the comma-text list of their paths in the same order (the server method
    // BuscarPathProgramaArreglo, asked with the session's user, password, company and user type).
    QString ProgramPaths(const QString &programs);

    // Proves the session with the application server (user, password, company) as the load call
    // does, and keeps what the server answers: the user's type and the name of its database
    // driver (written to the suite's gStTipoUsuario and gStDriver as well). Throws EDatabaseError
    // with the server's reason.
    void VerificarSesion();
    // What the last proof of the session answered (empty before one).
    const QString &userType() const { return m_userType; }
    const QString &driverName() const { return m_driverName; }

    // Round trips made so far (benchmarks and tests read it).
    qint64 roundTrips() const { return m_roundTrips; }

signals:
    // The session went on with another password (renewed, or changed by the user).
    void sessionChanged(const Session &session);

private:
    protocol::Credentials credentials() const;
    int apply(const protocol::ApplyRequest &request);
    ITransport &transport();
    // The session goes on with `password`; sessionChanged says so.
    void adoptPassword(const QString &password);
    void installRenewal();

    AnswerMemo m_answers;
    Session m_session;
    QString m_userType;
    QString m_driverName;
    std::unique_ptr<ITransport> m_transport;
    bool m_connected = false;
    bool m_injected = false;   // the transport came through setTransport
    qint64 m_roundTrips = 0;
};
