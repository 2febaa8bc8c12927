#pragma once
// Follows the requests of one connection through their bytes as they arrive, keeping only the
// head being read: where each head ends, how long its body is (declared by Content-Length, or
// chunk by chunk), and where the next request starts. A body over the limit is refused from its
// declared length or from the chunk size that takes it over, before its bytes are held anywhere;
// a head that is not HTTP, or that grows without end, is refused too.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class RequestFramer {
public:
    struct Refusal {
        int status = 0;   // 0: nothing refused
        QString message;
        explicit operator bool() const { return status != 0; }
    };

    static constexpr qint64 kMaxHeadBytes = 16 * 1024;

    explicit RequestFramer(qint64 maxBodyBytes);

    // Takes the next bytes of the connection. Once a refusal comes, the connection is done: the
    // same refusal comes back for anything fed after it.
    Refusal feed(QByteArrayView bytes);

    // The target of the latest request head ("/fetch"), for the log line of a refusal.
    QByteArray path() const { return m_path; }

private:
    enum class State { Head, Body, ChunkSize, ChunkData, ChunkEnd, Trailer };

    // Each takes from `bytes` what belongs to the state it reads; a rule broken ends in refuse().
    void takeHead(QByteArrayView &bytes);
    bool takeLine(QByteArrayView &bytes);
    void startBody(const QByteArray &head);
    void chunkSize();
    void endLine();
    void refuse(int status, const QString &message);

    qint64 m_maxBodyBytes;
    State m_state = State::Head;
    QByteArray m_pending;     // the unfinished head, chunk-size line or trailer
    qint64 m_remaining = 0;   // bytes of the body or chunk still to come
    qint64 m_bodyBytes = 0;   // chunk bytes announced so far by the request being read
    QByteArray m_path;
    Refusal m_refusal;
};
