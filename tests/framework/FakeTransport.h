#pragma once
// Answers every fetch with `table`, records each request, refuses applies with `refuseApply`.

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
