#include "server/ServerOptions.h"

#include <QFileInfo>
#include <QSettings>

QString ServerOptions::readFile(const QString &file, const QStringList &known)
{
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable())
        return QStringLiteral("--config: no se puede leer %1").arg(file);
    QSettings settings(file, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return QStringLiteral("--config: %1 no es un archivo INI válido").arg(file);
    for (const QString &key : settings.allKeys()) {
        QString name = key;
        if (name.startsWith(QLatin1String("server/"), Qt::CaseInsensitive))
            name = name.mid(7);
        if (name == QLatin1String("config") || !known.contains(name))
            return QStringLiteral("--config: %1 nombra la opción desconocida \"%2\"").arg(file, key);
        // A value with commas reads back as a list; the option wants the text as written.
        const QVariant value = settings.value(key);
        m_file.insert(name, value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                                      : value.toString());
    }
    return {};
}

bool ServerOptions::isSet(const QString &name) const
{
    return m_parser.isSet(name) || m_file.contains(name);
}

QString ServerOptions::value(const QString &name) const
{
    if (!m_parser.isSet(name) && m_file.contains(name))
        return m_file.value(name);
    return m_parser.value(name);
}
