#pragma once
// A transport for tests: answers every fetch with one in-memory table, records each request,
// and refuses applies while `refuseApply` holds a message.

#include "framework/connection/ITransport.h"

struct FakeTransport : ITransport {
    appserver::FetchResult table;
    QList<appserver::FetchRequest> fetches;
    QList<appserver::ApplyRequest> applies;
    QString refuseApply;

    appserver::FetchResult fetch(const appserver::FetchRequest &request) override
    {
        fetches.append(request);
        return table;
    }
    appserver::ApplyResult apply(const appserver::ApplyRequest &request) override
    {
        applies.append(request);
        appserver::ApplyResult result;
        result.error = refuseApply;
        result.rowsAffected = refuseApply.isEmpty() ? 1 : 0;
        return result;
    }
    appserver::MethodResult call(const appserver::MethodCall &) override { return {}; }
};
