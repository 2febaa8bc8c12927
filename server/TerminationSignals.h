#pragma once
// Turns SIGTERM and SIGINT into a Qt signal on the main thread, so the server stops between two
// requests instead of in the middle of one; and SIGHUP, which would otherwise end the process
// without a word, into a request to read the configuration again.

#include <QObject>

class QSocketNotifier;

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);

signals:
    void terminationRequested(int signalNumber);
    void reloadRequested();

private:
    static void onSignal(int signalNumber);
    static int s_pipe[2];
    QSocketNotifier *m_notifier = nullptr;
};
