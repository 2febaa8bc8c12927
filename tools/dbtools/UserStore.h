#pragma once
// The application's users as the database keeps them (GN_USUAR, and GN_USEMP for the companies
// each may work with), changed by the site's administrator from the command line: passwords go
// in as salted hashes only, and a user is disabled rather than removed, so that the audit
// columns that name it keep meaning something. Every change writes its row of the audit record
// (GN_AUDIT) in its own transaction, named after the system's user who ran it, from "local".
// The sessions the server handed out (GN_SESIO) are listed and ended here too.

#include "appserver/SessionRecords.h"
#include "tools/dbtools/DbOutcome.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>

namespace dbtools {

class UserStore {
public:
    struct User {
        QString name;
        QString type;       // TIP_USUA: "A" administrator, "U" user, "C" read only
        QString fullName;
        bool active = true;
        QList<int> companies;
    };

    explicit UserStore(const QSqlDatabase &db);
    // The caller has begun a transaction and commits or rolls back itself (init on PostgreSQL).
    void joinTransaction() { m_outer = true; }

    // Empty when `name` can be a user's name (1 to 8 characters, no blanks), else why not.
    static QString nameRefusal(const QString &name);

    // Each change is one transaction (a new user with its grants, a grant with the user's
    // credential version); a user that does not exist, or one that already does for add, is
    // refused by name. A change of password, state or companies raises the user's credential
    // version (VER_USUA), which ends every session token issued before it.
    DbOutcome add(const User &user, const QString &password);
    DbOutcome setPassword(const QString &name, const QString &password);
    DbOutcome setActive(const QString &name, bool active);
    DbOutcome grant(const QString &name, int company);
    DbOutcome revoke(const QString &name, int company);
    DbOutcome list(QList<User> *users) const;
    // Ends the user's open sessions (`session` empty; none open is no failure) or its session
    // `session` (refused when the user has no such session not yet ended); `ended` counts them.
    // Ending a session changes nothing else of the user.
    DbOutcome endSessions(const QString &name, const QString &session, int *ended);
    DbOutcome sessions(const QString &name, QList<appserver::SessionRecords::Session> *sessions) const;

    // Who the audit record names for the changes: the system's user running the program (and
    // who ran sudo, when a person did), unless set.
    static QString systemUser();
    void setOperator(const QString &who) { m_operator = who; }

private:
    DbOutcome exists(const QString &name, bool *found) const;
    DbOutcome mustExist(const QString &name) const;
    DbOutcome insertGrant(const QString &name, int company);
    // Runs `statement` (user, company) and raises the user's credential version when it changed
    // a row, with its audit row; the database's error, or empty.
    QString changeGrants(const QString &name, const QString &statement, int company, const QString &action, int *changed);
    // Runs change() and the audit row of it (action, detail) in one transaction (the caller's
    // when it joined one); empty, or change()'s or the database's error.
    QString recorded(const std::function<QString()> &change, const QString &action, const QString &detail);
    QSqlDatabase m_db;
    QString m_operator;
    bool m_outer = false;
};

} // namespace dbtools
