#pragma once
// Starts the suite's other programs (the drill-down from an employee to their records). All starts
// go through here, so a test can record them instead of starting processes. A program named
// without a folder is looked for beside the running program, then on the PATH.

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

    // Starts the program detached; false with `error` filled when it could not be started. The
    // program finds `password` (the session's) in the environment variable kPasswordVariable.
    bool start(const QString &program, const QStringList &arguments, const QString &password,
               QString *error = nullptr);

    // Replaces real starts; an empty recorder restores them. Returns the previous one.
    Recorder setRecorder(Recorder recorder);

    // The file a program name stands for: a name with a folder as it is; a bare name beside the
    // running program when it is there, else on the PATH, else unchanged.
    static QString resolve(const QString &program);

    static constexpr const char *kPasswordVariable = "QACSEMAF_PASSWORD";

private:
    ProgramLauncher() = default;
    Recorder m_recorder;
};
