#pragma once
// Starts the suite's other programs (the drill-down from an employee to their records). All starts
// go through here, so a test can record them instead of starting processes.

#include <QString>
#include <QStringList>
#include <functional>

class ProgramLauncher {
public:
    struct Start {
        QString program;
        QStringList arguments;
    };
    using Recorder = std::function<bool(const Start &)>;

    static ProgramLauncher &instance();

    // Starts the program detached; false with `error` filled when it could not be started.
    bool start(const QString &program, const QStringList &arguments, QString *error = nullptr);

    // Replaces real starts; an empty recorder restores them. Returns the previous one.
    Recorder setRecorder(Recorder recorder);

private:
    ProgramLauncher() = default;
    Recorder m_recorder;
};
