#pragma once
// The in-process transport: the application-server core runs inside the client on a database
// it opens itself (an SQLite file, or PostgreSQL). The default for the demo and most tests.

#include "appserver/DatabaseDescription.h"
#include "framework/connection/ITransport.h"
#include "appserver/ServerCore.h"

class LocalTransport : public ITransport {
public:
    // Opens the database; throws EDatabaseError with the reason when it cannot.
    explicit LocalTransport(const appserver::DatabaseDescription &database);

    appserver::FetchResult fetch(const appserver::FetchRequest &request) override;
    QString fetchEach(const appserver::FetchRequest &request, appserver::RowSink &sink) override;
    appserver::ApplyResult apply(const appserver::ApplyRequest &request) override;
    appserver::MethodResult call(const appserver::MethodCall &call) override;

    appserver::ServerCore &core() { return m_core; }

private:
    appserver::ServerCore m_core;
};
