#include "host/DemoDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

// A seed of the demo takes a few seconds; a minute means it is stuck.
constexpr int kSeedTimeoutMs = 60000;

} // namespace

DemoDatabase::DemoDatabase(const QString &programFolder) : m_programFolder(programFolder) {}

QString DemoDatabase::path()
{
    // The folder is the module's (not the host program's), so that every program of the module
    // that a user starts finds the same demo.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(data).filePath(QStringLiteral("qacsemaf/demo.db"));
}

QString DemoDatabase::seedProgram() const
{
    const QDir here(m_programFolder);
    for (const QString &candidate : {here.filePath(QStringLiteral("qacsemaf")),
                                     here.filePath(QStringLiteral("../tools/qacsemaf"))}) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return QDir::cleanPath(info.absoluteFilePath());
    }
    return {};
}

QString DemoDatabase::ensure()
{
    m_created = false;
    const QString file = path();
    if (QFileInfo::exists(file))
        return {};
    const QString program = seedProgram();
    if (program.isEmpty())
        return QStringLiteral("No se encontró el programa qacsemaf junto a %1 para crear la base de demostración %2.")
            .arg(QDir::toNativeSeparators(m_programFolder), file);
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("No se pudo crear la carpeta %1 para la base de demostración.").arg(folder);

    QProcess seed;
    seed.setProcessChannelMode(QProcess::MergedChannels);
    seed.start(program, {QStringLiteral("seed"), QStringLiteral("--db"), file});
    if (!seed.waitForStarted())
        return QStringLiteral("No se pudo iniciar %1: %2").arg(program, seed.errorString());
    if (!seed.waitForFinished(kSeedTimeoutMs)) {
        seed.kill();
        seed.waitForFinished();
        return QStringLiteral("La creación de la base de demostración %1 no terminó en %2 segundos.")
            .arg(file)
            .arg(kSeedTimeoutMs / 1000);
    }
    if (seed.exitStatus() != QProcess::NormalExit || seed.exitCode() != 0 || !QFileInfo::exists(file))
        return QStringLiteral("No se pudo crear la base de demostración %1:\n%2")
            .arg(file, QString::fromLocal8Bit(seed.readAll()).trimmed());
    m_created = true;
    return {};
}
