#include "ProviderRegistry.h"

#include "StatementRegistry.h"

namespace appserver {

const ProviderDef *ProviderRegistry::find(const QString &name)
{
    return StatementRegistry::module().provider(name);
}

QStringList ProviderRegistry::names()
{
    return StatementRegistry::module().providerNames();
}

} // namespace appserver
