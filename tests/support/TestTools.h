#pragma once
// Small helpers the tests share: the message an action refuses with, a program run to its end, and
// a file's digest.

#include "framework/Exceptions.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <functional>

// The message of the exception of type E that `action` throws, or an empty text when it throws
// none; an exception of another type goes on to the test, which fails.
template <class E = Exception>
QString messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const E &error) {
        return error.Message();
    }
    return {};
}

// A finished program: its exit code (-1 when it crashed or did not finish) and both outputs.
struct ProgramRun {
    int exitCode = -1;
    QString output;            // decoded as UTF-8, which drops a leading byte order mark
    QByteArray outputBytes;    // as written
    QString errors;
};

// Its standard input is a pipe that holds `input` and then ends.
inline ProgramRun runProgram(const QString &program, const QStringList &arguments,
                             const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
                             const QByteArray &input = {})
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    ProgramRun run;
    const bool finished = process.waitForFinished(120000);
    run.outputBytes = process.readAllStandardOutput();
    run.output = QString::fromUtf8(run.outputBytes);
    run.errors = QString::fromUtf8(process.readAllStandardError());
    if (finished && process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    return run;
}

// The SHA-1 of a file's bytes; empty when it cannot be read.
inline QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1) : QByteArray();
}
