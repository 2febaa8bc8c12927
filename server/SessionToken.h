#pragma once
// Signed, expiring session tokens. The server keeps no session of its own: a token names its user
// and its expiry and is signed with the secret that every instance of the server shares, so any
// instance behind a load balancer accepts a token that another one issued.

#include <QByteArray>
#include <QString>

class SessionToken {
public:
    explicit SessionToken(QByteArray secret);

    QString issue(const QString &user, qint64 expiresAtSecs) const;

    // Empty when the token is genuine and not expired at nowSecs (user filled), else why not.
    QString verify(const QString &token, qint64 nowSecs, QString *user) const;

private:
    QByteArray signature(const QByteArray &payload) const;

    QByteArray m_secret;
};
