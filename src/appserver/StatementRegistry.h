#pragma once
// The statements the application server runs for workstations, and the providers behind them:
// the module's catalogue (every JSON file under the ":/registry/" resource folder, which the
// data layer's catalogue provides). A workstation names one of the provider's statements; what
// runs is the registry's own text with the values bound.

#include "appserver/ProviderDef.h"
#include "appserver/RegisteredStatement.h"

#include <QHash>
#include <QList>
#include <memory>

namespace appserver {

class StatementRegistry {
public:
    // The module's registry, read once; a broken catalogue leaves it empty with loadError() set.
    static const StatementRegistry &module();

    // Adds the providers and statements of one catalogue document; empty, or what is wrong.
    QString load(const QByteArray &json);
    const QString &loadError() const { return m_loadError; }

    const ProviderDef *provider(const QString &name) const;
    QStringList providerNames() const;
    const RegisteredStatement *statement(const QString &name) const;

    // The provider's statement of that name (its own one when the name is empty); null with
    // the refusal in `error` when the provider has none such.
    const RegisteredStatement *find(const ProviderDef &provider, const QString &name, QString *error) const;

private:
    QString loadProvider(const QJsonObject &definition);

    QList<std::shared_ptr<ProviderDef>> m_providers;
    QHash<QString, std::shared_ptr<ProviderDef>> m_providerByName;      // upper-cased name
    QList<std::shared_ptr<RegisteredStatement>> m_statements;
    QHash<QString, QList<const RegisteredStatement *>> m_byProvider;     // upper-cased provider name
    QString m_loadError;
};

} // namespace appserver
