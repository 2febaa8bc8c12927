#pragma once
// The application server's named methods, called by clients beside the providers. Each takes
// the client's argument list and answers one value; the table of methods is in ServerMethods.cpp.

#include "appserver/FetchHandler.h"
#include "appserver/ProtocolNames.h"

namespace appserver {

class ServerMethods {
public:
    explicit ServerMethods(FetchHandler &reader) : m_reader(reader) {}

    MethodResult call(const MethodCall &call);

    // Program paths from GN_PROGR. args[0]: the program codes as double-quoted comma text
    // (alone or as the only element of a list); further arguments (session text, user type,
    // user) are accepted and not needed. Answer: a list whose element 0 is the paths in the
    // order asked, as comma text, a missing program giving an empty quoted item.
    MethodResult programPaths(const QVariantList &args);

    // Proves a workstation's session when the module loads (user and password were checked
    // before any method runs). args: user code, company code (text; empty: none chosen yet).
    // Refuses a company that does not exist. Answer: a list of the user's type (TIP_USUA) and
    // the database driver name ("SQLITE" or "POSTGRES").
    MethodResult verifySession(const QVariantList &args);

    void setDriverName(const QString &name) { m_driverName = name; }

private:
    // One row of one provider-less statement with positional string parameters.
    FetchResult readOne(const QString &name, const QString &statement, const QStringList &values);

    FetchHandler &m_reader;
    QString m_driverName;
};

} // namespace appserver
