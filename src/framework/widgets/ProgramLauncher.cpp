#include "framework/widgets/ProgramLauncher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

ProgramLauncher &ProgramLauncher::instance()
{
    static ProgramLauncher launcher;
    return launcher;
}

QString ProgramLauncher::resolve(const QString &program)
{
    const QString name = program.trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return name;
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    if (QFileInfo(beside).isExecutable())
        return beside;
    const QString onPath = QStandardPaths::findExecutable(name);
    return onPath.isEmpty() ? name : onPath;
}

bool ProgramLauncher::start(const QString &program, const QStringList &arguments, const QString &password,
                            QString *error)
{
    if (m_recorder)
        return m_recorder({program, arguments});
    const QString path = resolve(program);
    const QFileInfo file(path);
    if (path.isEmpty() || !file.isFile() || !file.isExecutable()) {
        if (error)
            *error = QStringLiteral("No se encuentra el programa \"%1\".").arg(program);
        return false;
    }
    QProcess process;
    process.setProgram(path);
    process.setArguments(arguments);
    // The started program joins the user's session; the password travels in its environment,
    // where other users cannot read it, and not among its arguments.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kPasswordVariable), password);
    process.setProcessEnvironment(environment);
    if (!process.startDetached()) {
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
