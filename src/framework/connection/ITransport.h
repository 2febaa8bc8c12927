#pragma once
// How a connection reaches the application server: in-process or over the network.

#include "protocol/Protocol.h"

class ITransport {
public:
    virtual ~ITransport() = default;
    virtual protocol::FetchResult fetch(const protocol::FetchRequest &request) = 0;
    // A fetch handed to `sink` row by row (which must not throw); the error text, empty on
    // success. A transport that receives whole answers feeds them on.
    virtual QString fetchEach(const protocol::FetchRequest &request, protocol::RowSink &sink)
    {
        return protocol::feedRows(fetch(request), sink);
    }
    // Several fetches in one call (one round trip where the transport crosses a network),
    // answered in order, each with its own error.
    virtual QList<protocol::FetchResult> fetchMany(const QList<protocol::FetchRequest> &requests)
    {
        QList<protocol::FetchResult> answers;
        for (const protocol::FetchRequest &request : requests)
            answers.append(fetch(request));
        return answers;
    }
    virtual protocol::ApplyResult apply(const protocol::ApplyRequest &request) = 0;
    virtual protocol::MethodResult call(const protocol::MethodCall &call) = 0;
};
