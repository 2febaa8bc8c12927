#pragma once
// How a connection reaches the application server: in-process or over the network.

#include "Protocol.h"

class ITransport {
public:
    virtual ~ITransport() = default;
    virtual appserver::FetchResult fetch(const appserver::FetchRequest &request) = 0;
    virtual appserver::ApplyResult apply(const appserver::ApplyRequest &request) = 0;
    virtual appserver::MethodResult call(const appserver::MethodCall &call) = 0;
};
