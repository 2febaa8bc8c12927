#pragma once
// A listening server (QTcpServer, or QSslServer for HTTPS) that hands each connection to a
// watcher just before the HTTP server takes it, so that the watcher hears the connection's
// signals first. The HTTP server takes connections through nextPendingConnection().

#include <QTcpSocket>
#include <functional>

template <class Listener>
class GuardedListener final : public Listener {
public:
    using Watcher = std::function<void(QTcpSocket *)>;

    explicit GuardedListener(Watcher watcher) : m_watcher(std::move(watcher)) {}

    QTcpSocket *nextPendingConnection() override
    {
        QTcpSocket *socket = Listener::nextPendingConnection();
        if (socket)
            m_watcher(socket);
        return socket;
    }

private:
    Watcher m_watcher;
};
