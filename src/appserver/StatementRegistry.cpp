#include "appserver/StatementRegistry.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace appserver {

const StatementRegistry &StatementRegistry::module()
{
    static const StatementRegistry registry = [] {
        StatementRegistry loaded;
        const QDir folder(QStringLiteral(":/registry"));
        const QStringList files = folder.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
        if (files.isEmpty())
            loaded.m_loadError = QStringLiteral("El servidor de aplicaciones no tiene el registro de sentencias del módulo.");
        for (const QString &name : files) {
            QFile file(folder.filePath(name));
            const QString error = file.open(QIODevice::ReadOnly) ? loaded.load(file.readAll()) : file.errorString();
            if (!error.isEmpty() && loaded.m_loadError.isEmpty())
                loaded.m_loadError = QStringLiteral("El registro de sentencias %1 no se puede leer: %2").arg(name, error);
        }
        return loaded;
    }();
    return registry;
}

QString StatementRegistry::loadProvider(const QJsonObject &definition)
{
    auto provider = std::make_shared<ProviderDef>();
    provider->name = definition.value(QLatin1String("name")).toString();
    provider->mainTable = definition.value(QLatin1String("mainTable")).toString();
    for (const QJsonValue &column : definition.value(QLatin1String("key")).toArray())
        provider->keyColumns << column.toString();
    provider->ownStatement = definition.value(QLatin1String("own")).toString();
    if (provider->name.isEmpty())
        return QStringLiteral("un proveedor no tiene nombre");
    m_providers << provider;
    m_providerByName.insert(provider->name.toUpper(), provider);
    return {};
}

QString StatementRegistry::load(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonObject document = QJsonDocument::fromJson(json, &parseError).object();
    if (parseError.error != QJsonParseError::NoError)
        return parseError.errorString();
    for (const QJsonValue &provider : document.value(QLatin1String("providers")).toArray())
        if (const QString error = loadProvider(provider.toObject()); !error.isEmpty())
            return error;
    for (const QJsonValue &definition : document.value(QLatin1String("statements")).toArray()) {
        auto statement = std::make_shared<RegisteredStatement>();
        if (const QString error = statement->define(definition.toObject()); !error.isEmpty())
            return error;
        for (const QString &provider : statement->providers()) {
            if (!m_providerByName.contains(provider.toUpper()))
                return QStringLiteral("la sentencia %1 nombra el proveedor desconocido %2").arg(statement->name(), provider);
            m_byProvider[provider.toUpper()] << statement.get();
        }
        m_statements << statement;
    }
    for (const auto &provider : std::as_const(m_providers))
        if (!provider->ownStatement.isEmpty() && !statement(provider->ownStatement))
            return QStringLiteral("el proveedor %1 nombra la sentencia desconocida %2")
                .arg(provider->name, provider->ownStatement);
    return {};
}

const ProviderDef *StatementRegistry::provider(const QString &name) const
{
    return m_providerByName.value(name.toUpper()).get();
}

QStringList StatementRegistry::providerNames() const
{
    QStringList names;
    for (const auto &provider : m_providers)
        names << provider->name;
    return names;
}

const RegisteredStatement *StatementRegistry::statement(const QString &name) const
{
    for (const auto &statement : m_statements)
        if (statement->name() == name)
            return statement.get();
    return nullptr;
}

const RegisteredStatement *StatementRegistry::find(const ProviderDef &provider, const QString &name,
                                                   QString *error) const
{
    if (name.trimmed().isEmpty()) {
        if (const RegisteredStatement *own = statement(provider.ownStatement))
            return own;
        *error = QStringLiteral("El proveedor %1 no tiene sentencia propia; la solicitud debe nombrar una "
                                "sentencia del módulo.")
                     .arg(provider.name);
        return nullptr;
    }
    for (const RegisteredStatement *candidate : m_byProvider.value(provider.name.toUpper()))
        if (candidate->name() == name)
            return candidate;
    *error = QStringLiteral("El servidor de aplicaciones solo ejecuta las sentencias del módulo; el proveedor %1 "
                            "no tiene la sentencia \"%2\".")
                 .arg(provider.name, name.left(80));
    return nullptr;
}

} // namespace appserver
