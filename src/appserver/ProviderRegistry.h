#pragma once
// The application server's named data providers: which table, if any, receives their updates
// and which registered statement they run when a workstation sends none. They are defined in
// the module's statement registry (StatementRegistry).

#include <QString>
#include <QStringList>

namespace appserver {

struct ProviderDef {
    QString name;
    QString mainTable;       // empty: the provider is read-only
    QStringList keyColumns;  // of mainTable
    QString ownStatement;    // the registered statement run when the client sends no text
};

class ProviderRegistry {
public:
    // nullptr when no provider has that name (names compare without regard to case).
    static const ProviderDef *find(const QString &name);
    static QStringList names();
};

} // namespace appserver
