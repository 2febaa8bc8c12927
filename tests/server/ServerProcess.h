#pragma once
// Test support: qacsemaf-server as a real process on a free port (it binds port 0 and says which
// port it got), stopped with SIGTERM or killed at the end. What it writes to stderr (a line per
// request) is read whenever the test's event loop runs, so a long session never blocks the server
// on a full pipe.

#include <QProcess>
#include <QString>
#include <QStringList>

class ServerProcess {
public:
    ServerProcess();
    ~ServerProcess();

    // Empty on success, else why the server did not come up. `port` 0: any free port. Every
    // instance signs sessions with the same secret, so that each accepts the others' tokens.
    QString start(const QStringList &arguments, quint16 port = 0);
    quint16 port() const { return m_port; }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }
    qint64 pid() const { return m_process.processId(); }

    // SIGTERM, then wait: the exit code (-1 when it had to be killed).
    int terminate();
    void kill();
    // Everything the server wrote to stderr so far.
    QString log();

private:
    QProcess m_process;
    quint16 m_port = 0;
    QString m_log;
};
