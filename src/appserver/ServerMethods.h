#pragma once
// The application server's named methods, called by clients beside the providers. Each takes
// the client's argument list and answers one value; the table of methods is in ServerMethods.cpp.

#include "FetchHandler.h"
#include "Protocol.h"

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

private:
    FetchHandler &m_reader;
};

} // namespace appserver
