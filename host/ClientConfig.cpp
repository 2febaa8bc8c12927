#include "host/ClientConfig.h"

#include "framework/connection/HttpTransport.h"

#include <QFileInfo>
#include <QSettings>

namespace {

const QStringList kKeys{QStringLiteral("server"), QStringLiteral("ca-file"), QStringLiteral("database")};

} // namespace

QString ClientConfig::path()
{
    const QString named = qEnvironmentVariable("QACSEMAF_CLIENT_CONFIG");
    return named.isEmpty() ? QStringLiteral("/etc/qacsemaf/client.ini") : named;
}

bool ClientConfig::read(const QString &path, QString *error)
{
    error->clear();
    file = path;
    if (!QFileInfo::exists(path))
        return false;
    const auto refuse = [&](const QString &why) {
        *error = QStringLiteral("La configuración de la estación %1 no sirve: %2").arg(path, why);
        return false;
    };
    if (!QFileInfo(path).isReadable())
        return refuse(QStringLiteral("no se puede leer."));
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        return refuse(QStringLiteral("no es un archivo INI válido."));
    // Keys at the top come under [General]; both that and [client] are read.
    QSettings::SettingsMap values;
    for (const QString &key : ini.allKeys()) {
        const QString name = key.section(QLatin1Char('/'), -1);
        const QString group = key.contains(QLatin1Char('/')) ? key.section(QLatin1Char('/'), 0, 0) : QString();
        if ((!group.isEmpty() && group != QLatin1String("client")) || !kKeys.contains(name))
            return refuse(QStringLiteral("la clave \"%1\" no es una de %2.").arg(key, kKeys.join(QStringLiteral(", "))));
        values.insert(name, ini.value(key));
    }
    server = values.value(QStringLiteral("server")).toString().trimmed();
    caFile = values.value(QStringLiteral("ca-file")).toString().trimmed();
    database = values.value(QStringLiteral("database")).toString().trimmed();
    if (server.isEmpty())
        return refuse(QStringLiteral("falta server= (el servidor de aplicaciones, p. ej. https://rrhh-app:8443)."));
    HttpTransport::Address address;
    QString why;
    if (!HttpTransport::parseServer(server, &address, &why))
        return refuse(QStringLiteral("server=: %1").arg(why));
    if (!caFile.isEmpty() && !QFileInfo(caFile).isReadable())
        return refuse(QStringLiteral("ca-file=: el archivo %1 no existe o no se puede leer.").arg(caFile));
    return true;
}
