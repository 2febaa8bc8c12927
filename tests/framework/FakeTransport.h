#pragma once
// A transport for tests: answers every fetch with one in-memory table, records each request,
// and refuses applies while `refuseApply` holds a message.

#include "framework/connection/ITransport.h"

struct FakeTransport : ITransport {
    protocol::FetchResult table;
    QList<protocol::FetchRequest> fetches;
    QList<protocol::ApplyRequest> applies;
    QString refuseApply;

    protocol::FetchResult fetch(const protocol::FetchRequest &request) override
    {
        fetches.append(request);
        return table;
    }
    protocol::ApplyResult apply(const protocol::ApplyRequest &request) override
    {
        applies.append(request);
        protocol::ApplyResult result;
        result.error = refuseApply;
        result.rowsAffected = refuseApply.isEmpty() ? 1 : 0;
        return result;
    }
    protocol::MethodResult call(const protocol::MethodCall &) override { return {}; }
};
