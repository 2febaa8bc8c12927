#pragma once
// How a connection reaches the application server: in-process or over the network.

#include "appserver/Protocol.h"

class ITransport {
public:
    virtual ~ITransport() = default;
    virtual appserver::FetchResult fetch(const appserver::FetchRequest &request) = 0;
    // A fetch handed to `sink` row by row (which must not throw); the error text, empty on
    // success. A transport that receives whole answers feeds them on.
    virtual QString fetchEach(const appserver::FetchRequest &request, appserver::RowSink &sink)
    {
        return appserver::feedRows(fetch(request), sink);
    }
    virtual appserver::ApplyResult apply(const appserver::ApplyRequest &request) = 0;
    virtual appserver::MethodResult call(const appserver::MethodCall &call) = 0;
};
