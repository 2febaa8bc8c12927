#pragma once
// One of the application server's named data providers: which table, if any, receives its
// updates and which registered statement it runs when a workstation sends none. The providers
// are defined in the module's statement registry (StatementRegistry).

#include <QString>
#include <QStringList>

namespace appserver {

struct ProviderDef {
    QString name;
    QString mainTable;       // empty: the provider is read-only
    QStringList keyColumns;  // of mainTable
    QString ownStatement;    // the registered statement run when the client sends no text
};

} // namespace appserver
