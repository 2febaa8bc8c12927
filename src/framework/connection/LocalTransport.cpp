#include "framework/connection/LocalTransport.h"

#include "framework/Exceptions.h"

LocalTransport::LocalTransport(const appserver::DatabaseDescription &database)
{
    const QString error = m_core.open(database);
    if (!error.isEmpty())
        throw EDatabaseError(error);
}

appserver::FetchResult LocalTransport::fetch(const appserver::FetchRequest &request)
{
    return m_core.fetch(request);
}

QString LocalTransport::fetchEach(const appserver::FetchRequest &request, appserver::RowSink &sink)
{
    return m_core.fetchEach(request, sink);
}

appserver::ApplyResult LocalTransport::apply(const appserver::ApplyRequest &request)
{
    return m_core.apply(request);
}

appserver::MethodResult LocalTransport::call(const appserver::MethodCall &call)
{
    return m_core.call(call);
}
