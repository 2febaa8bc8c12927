#include "host/RememberedLogin.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

QString RememberedLogin::path()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("qacsemaf/host.ini"));
}

RememberedLogin RememberedLogin::load()
{
    const QSettings ini(path(), QSettings::IniFormat);
    RememberedLogin remembered;
    remembered.server = ini.value(QStringLiteral("login/server")).toString();
    remembered.user = ini.value(QStringLiteral("login/user")).toString();
    remembered.company = ini.value(QStringLiteral("login/company")).toInt();
    return remembered;
}

QString RememberedLogin::save() const
{
    QSettings ini(path(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("login/server"), server);
    ini.setValue(QStringLiteral("login/user"), user);
    ini.setValue(QStringLiteral("login/company"), company);
    ini.sync();
    return ini.status() == QSettings::NoError
               ? QString()
               : QStringLiteral("No se pudieron guardar los datos del último inicio de sesión en %1.").arg(path());
}
