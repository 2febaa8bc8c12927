#pragma once
// One named QtSql connection owned by the server core: opened on a database description,
// read-only or read-write, as its engine (SqlEngine) says, and removed from QtSql's registry when
// the owner goes. Every request runs in a transaction of its own, begun and ended here: where the
// engine has row security it names the companies the request may reach, it leaves nothing behind
// in the session, and a connection that the database ended (a restart, an administrator) is
// opened again before the request runs.

#include "appserver/DatabaseDescription.h"
#include "appserver/SqlDialect.h"
#include "appserver/SqlEngine.h"

#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>

class QSqlQuery;

namespace appserver {

class SqlConnection {
public:
    SqlConnection();
    ~SqlConnection();
    SqlConnection(const SqlConnection &) = delete;
    SqlConnection &operator=(const SqlConnection &) = delete;

    // Empty on success, else the reason (in Spanish, with the database's message).
    QString open(const DatabaseDescription &description, const SqlDialect &dialect, bool readOnly);
    void close();
    bool isOpen() const;
    // The database ended the connection (PostgreSQL), or it was never opened again after that.
    bool isBroken() const;

    // While set, a reading SQLite connection may read the stored passwords (a login check).
    void allowCredentials(bool allow);

    // Whether each request ends with a reset of the session (see mayChangeSession).
    bool resetsSession() const { return m_resetsSession; }

    // Where events worth an administrator's eye go (a connection opened again).
    void setLog(std::function<void(const QString &)> log) { m_log = std::move(log); }
    // How many times the connection was opened again after the database ended it.
    qint64 reopenings() const { return m_reopenings; }

    QSqlDatabase database() const;
    // The engine's direct reader on this opening of the connection (made on first use, made
    // again after the connection was opened again), or null where the engine has none.
    DirectReader *directReader();
    // The same for the engine's direct writer.
    DirectWriter *directWriter();
    // Runs a statement of our own (no client text); empty on success, else the error.
    QString exec(const QString &statement);
    // A read prepared once on this connection and kept for the next request that runs the same
    // text, so that a read costs one round trip; null with the database's error if it refuses
    // the text. Valid until the connection is opened again or released.
    QSqlQuery *preparedRead(const QString &statement, QString *error);

    // Begins one request's transaction; rows of other companies than `companies` (and 0) stay
    // out of it on PostgreSQL. A connection found broken is opened again first, and once more
    // when the begin itself finds it ended: nothing of the request has run yet. Empty, or why not.
    // Where the engine sends a reading request's begin with its first read (a direct reader),
    // WithFirstRead makes the begin wait for that read: the work takes it (takeAroundRead) or
    // runs it (runBegin) before anything else, and a request that reads nothing costs no round
    // trip. OnlyRead, for a request that is one read, sends its end with the read too.
    enum class Begin { Now, WithFirstRead, OnlyRead };
    QString beginRequest(const QList<int> &companies, Begin when = Begin::Now);
    // What still waits to be sent with the first read, for a reader that sends it (and so runs it).
    AroundRead takeAroundRead();
    // Runs the begin still waiting, for work that reads through QtSql (the end then waits for
    // endRequest); empty, or the error.
    QString runBegin();
    // Commits (or rolls back) what is still open, then puts back anything the request may have
    // changed in the session. The error of the commit, if any.
    QString endRequest(bool commit);

private:
    // Gives the QtSql connection up; the owner's wish to be open stays (close() drops it).
    void release();
    QString reopen();
    bool inTransaction() const;

    QString m_name;
    DatabaseDescription m_description;
    SqlDialect m_dialect{DatabaseDescription::Engine::Sqlite};
    bool m_readOnly = true;
    bool m_wanted = false;   // opened by the owner and not closed since
    bool m_resetsSession = false;
    std::unique_ptr<DirectReader> m_direct;   // on this opening's client handle
    std::unique_ptr<DirectWriter> m_directWriter;
    AroundRead m_waiting;          // the request's begin (and end), not sent yet
    bool m_endSentWithRead = false;   // the read ended the request's transaction
    std::function<void(const QString &)> m_log;
    qint64 m_reopenings = 0;
    std::unique_ptr<ConnectionGuard> m_guard;   // what the engine keeps beside the connection
    QHash<QString, std::shared_ptr<QSqlQuery>> m_reads;   // prepared reads by text
};

} // namespace appserver
