#pragma once
// Signed, expiring session tokens. A token names its user, its session (the row of GN_SESIO the
// login wrote, which an administrator may end), its expiry and the user's credential stamp when it
// was issued, and is signed with the secret that every instance of the server shares, so any
// instance behind a load balancer accepts a token that another one issued. The stamp lets a server
// see that the user's password, state or companies changed since.

#include <QByteArray>
#include <QString>

class SessionToken {
public:
    explicit SessionToken(QByteArray secret);

    QString issue(const QString &user, const QString &session, const QByteArray &stamp, qint64 expiresAtSecs) const;

    // Empty when the token is genuine, names a session and is not expired at nowSecs (user,
    // session and stamp filled), else why not.
    QString verify(const QString &token, qint64 nowSecs, QString *user, QString *session, QByteArray *stamp) const;

private:
    QByteArray signature(const QByteArray &payload) const;

    QByteArray m_secret;
};
