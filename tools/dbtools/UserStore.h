#pragma once
// The application's users as the database keeps them (GN_USUAR, and GN_USEMP for the companies
// each may work with), changed by the site's administrator from the command line: passwords go
// in as salted hashes only, and a user is disabled rather than removed, so that the audit
// columns that name it keep meaning something.

#include "tools/dbtools/DbOutcome.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

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

private:
    DbOutcome exists(const QString &name, bool *found) const;
    DbOutcome mustExist(const QString &name) const;
    DbOutcome insertGrant(const QString &name, int company);
    // Runs `statement` (user, company) and raises the user's credential version when it changed
    // a row; the database's error, or empty.
    QString changeGrants(const QString &name, const QString &statement, int company, int *changed);
    QSqlDatabase m_db;
    bool m_outer = false;
};

} // namespace dbtools
