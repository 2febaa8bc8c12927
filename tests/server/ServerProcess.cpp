#include "tests/server/ServerProcess.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QRegularExpression>

ServerProcess::ServerProcess()
{
    QObject::connect(&m_process, &QProcess::readyReadStandardError, &m_process,
                     [this] { m_log += QString::fromUtf8(m_process.readAllStandardError()); });
}

ServerProcess::~ServerProcess()
{
    kill();
}

QString ServerProcess::start(const QStringList &arguments, quint16 port)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QACSEMAF_SERVER_SECRET"), QStringLiteral("a-secret-shared-by-the-instances"));
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.setReadChannel(QProcess::StandardError);
    m_log.clear();
    m_process.start(QStringLiteral(QACSEMAF_SERVER),
                    arguments + QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(port)});
    static const QRegularExpression listening(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
    const QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
        m_process.waitForReadyRead(200);
        m_log += QString::fromUtf8(m_process.readAllStandardError());
        const QRegularExpressionMatch match = listening.match(m_log);
        if (match.hasMatch()) {
            m_port = quint16(match.captured(1).toUInt());
            return {};
        }
    }
    return QStringLiteral("the server did not start: %1").arg(m_log);
}

int ServerProcess::terminate()
{
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitCode();
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        kill();
        return -1;
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

void ServerProcess::kill()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString ServerProcess::log()
{
    while (m_process.waitForReadyRead(300))
        m_log += QString::fromUtf8(m_process.readAllStandardError());
    m_log += QString::fromUtf8(m_process.readAllStandardError());
    return m_log;
}
