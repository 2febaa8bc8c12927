#include "server/DatabasePasswords.h"

#include <QFile>

QString DatabasePasswords::fill(appserver::DatabaseDescription *description, const Sources &sources,
                                QStringList *notes)
{
    QString error = pick(&description->password, QStringLiteral("password"), sources.passwordFile,
                         QStringLiteral("QACSEMAF_PG_PASSWORD"), sources, notes);
    if (error.isEmpty())
        error = pick(&description->readerPassword, QStringLiteral("readpassword"), sources.readPasswordFile,
                     QStringLiteral("QACSEMAF_PG_READ_PASSWORD"), sources, notes);
    if (error.isEmpty() && description->password.isEmpty())
        description->password = sources.environment.value(QStringLiteral("PGPASSWORD"));
    return error;
}

QString DatabasePasswords::pick(QString *password, const QString &conninfoKey, const QString &file,
                                const QString &variable, const Sources &sources, QStringList *notes)
{
    if (!password->isEmpty()) {
        *notes << QStringLiteral("--pg holds the %1: any user of this machine can read it in the process list; "
                                 "use a password file or the environment instead")
                      .arg(conninfoKey);
        return {};
    }
    if (!file.isEmpty())
        return readFile(file, password, notes);
    *password = sources.environment.value(variable);
    return {};
}

QString DatabasePasswords::readFile(const QString &path, QString *password, QStringList *notes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    // The first line is the password; only its line end is dropped, blanks may be part of it.
    QByteArray line = file.readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty())
        return QStringLiteral("%1: the first line is empty; it must hold the password").arg(path);
    if (file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther))
        *notes << QStringLiteral("%1 can be read by other users of this machine (chmod 600 it)").arg(path);
    *password = QString::fromUtf8(line);
    return {};
}
