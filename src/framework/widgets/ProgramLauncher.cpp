#include "ProgramLauncher.h"

#include <QFileInfo>
#include <QProcess>

ProgramLauncher &ProgramLauncher::instance()
{
    static ProgramLauncher launcher;
    return launcher;
}

bool ProgramLauncher::start(const QString &program, const QStringList &arguments, QString *error)
{
    if (m_recorder)
        return m_recorder({program, arguments});
    if (program.trimmed().isEmpty() || !QFileInfo(program).isExecutable()) {
        if (error)
            *error = QStringLiteral("No se encuentra el programa \"%1\".").arg(program);
        return false;
    }
    if (!QProcess::startDetached(program, arguments)) {
        if (error)
            *error = QStringLiteral("No se pudo iniciar el programa \"%1\".").arg(program);
        return false;
    }
    return true;
}

ProgramLauncher::Recorder ProgramLauncher::setRecorder(Recorder recorder)
{
    Recorder previous = std::move(m_recorder);
    m_recorder = std::move(recorder);
    return previous;
}
