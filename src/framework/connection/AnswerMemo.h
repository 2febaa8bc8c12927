#pragma once
// The answers a connection keeps for the reads that follow: those read ahead (each answers one
// later read that asks the same) and, during one user action, every answer read, for a read that
// asks the same again. Two reads ask the same when provider, statement, values (by name, numbers
// by value) and conditions are the same. Large answers are not kept: a read of many rows is
// rarely asked twice, and keeping it would hold its memory.

#include "protocol/Protocol.h"

#include <QHash>
#include <QList>

class AnswerMemo {
public:
    // Answers read ahead during `action` (0: none), taken once each, and only during that action
    // (or, outside any, until the next read-ahead).
    void readAhead(const QList<protocol::FetchRequest> &requests, const QList<protocol::FetchResult> &answers,
                   quint64 action);
    // An answer read during `action` (0: none, nothing is kept).
    void keep(const protocol::FetchRequest &request, const protocol::FetchResult &answer, quint64 action);
    // The kept answer for `request` during `action`, if any.
    bool take(const protocol::FetchRequest &request, quint64 action, protocol::FetchResult *answer);
    // Whether an answer for `request` is kept.
    bool has(const protocol::FetchRequest &request, quint64 action);
    // Forgets everything (a write, another session).
    void clear();

    static constexpr int kMostRowsKept = 5000;

private:
    static QString keyOf(const protocol::FetchRequest &request);
    void startAction(quint64 action);

    QHash<QString, QList<protocol::FetchResult>> m_ahead;   // read ahead, not yet taken
    QHash<QString, protocol::FetchResult> m_action;         // read during the current action
    quint64 m_actionNumber = 0;
    quint64 m_aheadAction = 0;
};
