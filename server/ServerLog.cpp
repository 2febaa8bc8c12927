#include "server/ServerLog.h"

#include <QFile>
#include <cstdio>
#include <memory>

namespace {

struct LogState {
    ServerLog::Level level = ServerLog::Level::Info;
    QString path;
    std::unique_ptr<QFile> file;
};

LogState &state()
{
    static LogState log;
    return log;
}

QString openAppending(const QString &path, std::unique_ptr<QFile> *file)
{
    auto opened = std::make_unique<QFile>(path);
    if (!opened->open(QIODevice::WriteOnly | QIODevice::Append))
        return QStringLiteral("--log-file: no se puede abrir %1: %2").arg(path, opened->errorString());
    *file = std::move(opened);
    return {};
}

void toStderr(const QByteArray &line)
{
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

} // namespace

bool ServerLog::levelFrom(const QString &name, Level *level)
{
    static const QList<std::pair<QString, Level>> names{{QStringLiteral("error"), Level::Error},
                                                        {QStringLiteral("warning"), Level::Warning},
                                                        {QStringLiteral("info"), Level::Info}};
    for (const auto &[text, value] : names)
        if (name.compare(text, Qt::CaseInsensitive) == 0) {
            *level = value;
            return true;
        }
    return false;
}

void ServerLog::setLevel(Level level)
{
    state().level = level;
}

QString ServerLog::setFile(const QString &file)
{
    if (file.isEmpty()) {
        state().file.reset();
        state().path.clear();
        return {};
    }
    std::unique_ptr<QFile> opened;
    if (QString error = openAppending(file, &opened); !error.isEmpty())
        return error;
    state().file = std::move(opened);
    state().path = file;
    return {};
}

QString ServerLog::reopen()
{
    if (state().path.isEmpty())
        return {};
    state().file.reset();
    return openAppending(state().path, &state().file);
}

bool ServerLog::toFile()
{
    return state().file != nullptr;
}

void ServerLog::write(Level level, const QString &line)
{
    if (level > state().level)
        return;
    const QByteArray text = (line + QLatin1Char('\n')).toUtf8();
    if (QFile *file = state().file.get()) {
        file->write(text);
        file->flush();
    } else {
        toStderr(text);
    }
}

void ServerLog::announce(Level level, const QString &line)
{
    if (toFile())
        write(level, line);
    toStderr((line + QLatin1Char('\n')).toUtf8());
}
