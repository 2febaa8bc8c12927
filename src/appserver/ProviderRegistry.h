#pragma once
// The application server's named data providers: what each may read on its own and which table,
// if any, receives its updates. The whole catalogue is one table of data in ProviderRegistry.cpp.

#include <QString>
#include <QStringList>

namespace appserver {

struct ProviderDef {
    QString name;
    QString mainTable;       // empty: the provider is read-only
    QStringList keyColumns;  // of mainTable
    QString ownStatement;    // run when the client sends no statement; empty: the client must send one
};

class ProviderRegistry {
public:
    // nullptr when no provider has that name (names compare without regard to case).
    static const ProviderDef *find(const QString &name);
    static QStringList names();
};

} // namespace appserver
