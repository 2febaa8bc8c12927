#pragma once
// The sessions qacsemaf-server hands out (GN_SESIO): one row per login, with a random id that the
// session's token names, its user, start, expiry and client address. An administrator ends a
// session (FEC_TERM) and its token stops working at its next request. Times as AuditTrail writes
// them. The reading role may not see the table.

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace appserver {

class SessionRecords {
public:
    struct Session {
        QString id;
        QString user;
        QString started;
        QString expires;
        QString address;
        QString ended;   // empty while not ended

        // "activa", "terminada" (by an administrator) or "expirada", at `now` (a timeText()).
        QString state(const QString &now) const;
    };

    // Rows that expired more than this many days ago go at the next login.
    static constexpr int kKeptDays = 7;

    // A new session id: 32 hexadecimal digits from the system's random source.
    static QString newId();
    // Adds `session` on `db` (inside the caller's transaction) and removes the rows that expired
    // more than kKeptDays ago. Empty, or the database's error.
    static QString open(const QSqlDatabase &db, const Session &session);
    // Ends the open sessions of `user` (`id` empty), or its session `id`; `ended` counts them.
    // Empty, or the database's error.
    static QString end(const QSqlDatabase &db, const QString &user, const QString &id, int *ended);
    // The sessions of `user`, oldest first.
    static QString list(const QSqlDatabase &db, const QString &user, QList<Session> *sessions);
};

} // namespace appserver
