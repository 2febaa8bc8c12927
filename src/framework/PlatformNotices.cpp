#include "framework/PlatformNotices.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace {

QtMessageHandler gQtHandler = nullptr;
bool gInstalled = false;

bool isPlatformNotice(const QString &message)
{
    return message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))
           || message.startsWith(QLatin1String("QStandardPaths: runtime directory"))
           || message == QLatin1String("This plugin does not support propagateSizeHints()")
           || message == QLatin1String("This plugin does not support setParent!");
}

void filterPlatformNotices(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtCriticalMsg && type != QtFatalMsg && isPlatformNotice(message))
        return;
    if (gQtHandler) {
        gQtHandler(type, context, message);
        return;
    }
    std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')), stderr);
    std::fflush(stderr);
}

} // namespace

void quietPlatformNotices()
{
    if (gInstalled)
        return;
    gInstalled = true;
    gQtHandler = qInstallMessageHandler(filterPlatformNotices);
}
