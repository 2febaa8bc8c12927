#pragma once
// How a connection reaches the application server: in-process or over the network.

#include "protocol/Protocol.h"

#include <functional>
#include <optional>

// What a transport does when the application server ends the session (it expired, the password
// or the user's state changed, an administrator ended it): it never logs in again on its own.
// It asks askPassword (the session's user, the server's reason; the refusal of the password given
// before when the login with it failed) until a login succeeds, then repeats the call; renewed
// learns the password that succeeded. Without askPassword, or when it answers nothing, the call
// fails with the server's reason.
struct SessionRenewal {
    std::function<std::optional<QString>(const QString &user, const QString &reason)> askPassword;
    std::function<void(const QString &password)> renewed;
};

class ITransport {
public:
    virtual ~ITransport() = default;
    virtual protocol::FetchResult fetch(const protocol::FetchRequest &request) = 0;
    // A fetch handed to `sink` row by row (which must not throw); the error text, empty on
    // success. A transport that receives whole answers feeds them on.
    virtual QString fetchEach(const protocol::FetchRequest &request, protocol::RowSink &sink)
    {
        return protocol::feedRows(fetch(request), sink);
    }
    // Several fetches in one call (one round trip where the transport crosses a network),
    // answered in order, each with its own error.
    virtual QList<protocol::FetchResult> fetchMany(const QList<protocol::FetchRequest> &requests)
    {
        QList<protocol::FetchResult> answers;
        for (const protocol::FetchRequest &request : requests)
            answers.append(fetch(request));
        return answers;
    }
    virtual protocol::ApplyResult apply(const protocol::ApplyRequest &request) = 0;
    virtual protocol::MethodResult call(const protocol::MethodCall &call) = 0;

    // Changes the session user's own password, proving `current` again; empty on success (the
    // transport goes on with `next`), else the refusal for the user.
    virtual QString changePassword(const protocol::Credentials &session, const QString &current, const QString &next)
    {
        Q_UNUSED(session) Q_UNUSED(current) Q_UNUSED(next)
        return QStringLiteral("Esta conexión no permite cambiar la contraseña.");
    }
    // Transports whose sessions can end install it; the others have nothing to renew.
    virtual void setSessionRenewal(SessionRenewal renewal) { Q_UNUSED(renewal) }
};
