#pragma once
// A proxy between workstations and qacsemaf-server that makes the network slow, as a branch
// office's line is: every request waits `delayMs` before it reaches the server. It counts the
// requests it passes on (a request is what a client sends after the server's last answer on that
// connection), so a test or a benchmark can tell how many round trips an action took.
// It runs in a thread of its own; start() returns once it listens on 127.0.0.1.

#include <QString>
#include <QThread>

#include <atomic>

class LatencyProxy {
public:
    LatencyProxy(quint16 serverPort, int delayMs);
    ~LatencyProxy();
    LatencyProxy(const LatencyProxy &) = delete;
    LatencyProxy &operator=(const LatencyProxy &) = delete;

    // Empty on success, else why it could not listen.
    QString start();
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    qint64 requests() const { return m_requests.load(); }

private:
    class Relay;
    quint16 m_serverPort;
    int m_delayMs;
    quint16 m_port = 0;
    QThread m_thread;
    Relay *m_relay = nullptr;
    std::atomic<qint64> m_requests{0};
};
