#include "server/LoginThrottle.h"

LoginThrottle::LoginThrottle(Policy policy) : m_policy(policy) {}

int LoginThrottle::secondsToWait(const QString &user, qint64 nowMs) const
{
    const auto found = m_records.constFind(keyOf(user));
    if (found == m_records.constEnd() || found->refusedUntilMs <= nowMs)
        return 0;
    return int((found->refusedUntilMs - nowMs + 999) / 1000);
}

void LoginThrottle::failed(const QString &user, qint64 nowMs)
{
    const QString key = keyOf(user);
    if (!m_records.contains(key))
        makeRoom(nowMs);
    Record &record = m_records[key];
    if (nowMs - record.lastFailureMs > m_policy.windowMs)
        record.failures = 0;
    ++record.failures;
    record.lastFailureMs = nowMs;
    const int beyond = record.failures - m_policy.failuresBeforeWait;
    if (beyond < 0)
        return;
    // Doubling from the first wait; the shift stays small enough not to overflow.
    const qint64 wait = m_policy.firstWaitMs << qMin(beyond, 30);
    record.refusedUntilMs = nowMs + qMin(wait, m_policy.longestWaitMs);
}

void LoginThrottle::succeeded(const QString &user)
{
    m_records.remove(keyOf(user));
}

// The server looks users up by their trimmed name; the case is folded as well, so that writing
// a name another way does not start a count of its own.
QString LoginThrottle::keyOf(const QString &user)
{
    return user.trimmed().toCaseFolded();
}

// Names whose count has lapsed go first; when every one is still counting, the one that failed
// longest ago makes room, so that a flood of made-up names cannot grow the table.
void LoginThrottle::makeRoom(qint64 nowMs)
{
    if (m_records.size() < m_policy.maxNames)
        return;
    m_records.removeIf([&](const auto &entry) {
        return nowMs - entry.value().lastFailureMs > m_policy.windowMs && entry.value().refusedUntilMs <= nowMs;
    });
    if (m_records.size() < m_policy.maxNames)
        return;
    auto oldest = m_records.begin();
    for (auto it = m_records.begin(); it != m_records.end(); ++it)
        if (it->lastFailureMs < oldest->lastFailureMs)
            oldest = it;
    m_records.erase(oldest);
}
