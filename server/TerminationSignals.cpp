#include "server/TerminationSignals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

int TerminationSignals::s_pipe[2] = {-1, -1};

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_pipe) != 0)
        qFatal("socketpair failed");
    m_notifier = new QSocketNotifier(s_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        m_notifier->setEnabled(false);
        char number = 0;
        if (::read(s_pipe[1], &number, 1) == 1) {
            if (number == SIGHUP)
                emit reloadRequested();
            else
                emit terminationRequested(number);
        }
        m_notifier->setEnabled(true);
    });
    struct sigaction action = {};
    action.sa_handler = &TerminationSignals::onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

// Only async-signal-safe work here: one byte into the pipe.
void TerminationSignals::onSignal(int signalNumber)
{
    const char number = static_cast<char>(signalNumber);
    [[maybe_unused]] const auto written = ::write(s_pipe[0], &number, 1);
}
