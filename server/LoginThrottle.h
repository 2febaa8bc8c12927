#pragma once
// Slows down the guessing of one user's password. After a few failed logins for the same user
// name within a window, further logins of that name are refused for a while, twice as long after
// each new failure, and one success forgets them. The server has one thread and must not wait on
// it, so a login that comes too soon is refused with the time still to wait.

#include <QHash>
#include <QString>

class LoginThrottle {
public:
    struct Policy {
        int failuresBeforeWait = 5;           // the failure that makes this many starts the waits
        qint64 windowMs = 15 * 60 * 1000;     // a failure older than this starts the count again
        qint64 firstWaitMs = 2000;
        qint64 longestWaitMs = 15 * 60 * 1000;
        int maxNames = 10000;                 // names remembered at once
    };

    explicit LoginThrottle(Policy policy);

    // Whole seconds a login of `user` must still wait at nowMs; 0 when it may be tried now.
    int secondsToWait(const QString &user, qint64 nowMs) const;
    void failed(const QString &user, qint64 nowMs);
    void succeeded(const QString &user);

private:
    struct Record {
        int failures = 0;
        qint64 lastFailureMs = 0;
        qint64 refusedUntilMs = 0;
    };

    static QString keyOf(const QString &user);
    void makeRoom(qint64 nowMs);

    Policy m_policy;
    QHash<QString, Record> m_records;
};
