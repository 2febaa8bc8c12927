#include "appserver/DatabaseDescription.h"

#include <QRegularExpression>
#include <QStringList>

namespace appserver {

DatabaseDescription DatabaseDescription::sqlite(const QString &filePath)
{
    DatabaseDescription d;
    d.engine = Engine::Sqlite;
    d.filePath = filePath;
    return d;
}

DatabaseDescription DatabaseDescription::postgres(const QString &host, int port,
                                                  const QString &databaseName,
                                                  const QString &user, const QString &password)
{
    DatabaseDescription d;
    d.engine = Engine::Postgres;
    d.host = host;
    d.port = port;
    d.databaseName = databaseName;
    d.user = user;
    d.password = password;
    return d;
}

bool DatabaseDescription::fromKeywords(const QString &text, DatabaseDescription *out,
                                       QString *error)
{
    DatabaseDescription d;
    d.engine = Engine::Postgres;
    const QStringList items = text.split(QRegularExpression(QStringLiteral("\\s+")),
                                         Qt::SkipEmptyParts);
    for (const QString &item : items) {
        const int eq = item.indexOf(QLatin1Char('='));
        const QString key = item.left(eq).trimmed().toLower();
        const QString value = item.mid(eq + 1);
        bool numberOk = true;
        if (eq <= 0 || value.isEmpty()) {
            *error = QStringLiteral("Descripción de base de datos no válida en \"%1\"").arg(item);
            return false;
        }
        if (key == QLatin1String("host"))
            d.host = value;
        else if (key == QLatin1String("port"))
            d.port = value.toInt(&numberOk);
        else if (key == QLatin1String("dbname"))
            d.databaseName = value;
        else if (key == QLatin1String("user"))
            d.user = value;
        else if (key == QLatin1String("password"))
            d.password = value;
        else if (key == QLatin1String("readuser"))
            d.readerUser = value;
        else if (key == QLatin1String("readpassword"))
            d.readerPassword = value;
        else if (key == QLatin1String("writerole"))
            d.writerRole = value;
        else if (key == QLatin1String("statement_timeout"))
            d.statementTimeoutMs = value.toInt(&numberOk);
        else if (key == QLatin1String("lock_timeout"))
            d.lockTimeoutMs = value.toInt(&numberOk);
        if (!numberOk) {
            *error = QStringLiteral("Valor no numérico para %1: %2").arg(key, value);
            return false;
        }
    }
    if (d.host.isEmpty() || d.databaseName.isEmpty()) {
        *error = QStringLiteral("La descripción de la base de datos debe indicar host y dbname");
        return false;
    }
    *out = d;
    return true;
}

bool DatabaseDescription::fromServerAndName(const QString &server, const QString &databaseName,
                                            DatabaseDescription *out, QString *error)
{
    const QString host = server.section(QLatin1Char(':'), 0, 0).trimmed();
    const QString portText = server.section(QLatin1Char(':'), 1).trimmed();
    bool ok = true;
    const int port = portText.isEmpty() ? 5432 : portText.toInt(&ok);
    if (host.isEmpty() || !ok || port <= 0) {
        *error = QStringLiteral("Servidor de base de datos no válido: \"%1\" (se espera host[:puerto])")
                     .arg(server);
        return false;
    }
    if (databaseName.trimmed().isEmpty()) {
        *error = QStringLiteral("Falta el nombre de la base de datos (alias de la conexión)");
        return false;
    }
    *out = postgres(host, port, databaseName.trimmed());
    return true;
}

QString DatabaseDescription::displayName() const
{
    if (engine == Engine::Sqlite)
        return QStringLiteral("SQLite %1").arg(filePath);
    return QStringLiteral("PostgreSQL %1:%2/%3").arg(host).arg(port).arg(databaseName);
}

} // namespace appserver
