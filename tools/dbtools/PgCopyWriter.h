#pragma once
// Sends seed rows to PostgreSQL with COPY ... FROM STDIN on the connection of a QSqlDatabase
// (its libpq handle), inside whatever transaction that connection has begun. Rows are kept as
// COPY text per table; a table's text goes out as one COPY once it passes a chunk, and what is
// left on flush(). Sending runs on a thread of its own, so that the server stores one chunk while
// the next rows are made; between construction and flush() nothing else may use the connection.
// Failures throw SeedError with the table and the server's message, from append() or flush().

#include "tools/dbtools/SiteEngine.h"

#include <QByteArray>
#include <QHash>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct pg_conn;

namespace dbtools {

class PgCopyWriter final : public RowSink {
public:
    // Throws SeedError when db is not an open PostgreSQL connection.
    explicit PgCopyWriter(const QSqlDatabase &db);
    // Chunks not sent yet are dropped; the caller rolls its transaction back.
    ~PgCopyWriter() override;
    PgCopyWriter(const PgCopyWriter &) = delete;
    PgCopyWriter &operator=(const PgCopyWriter &) = delete;

    void append(const QString &table, const QStringList &columns, const QVariantList &values) override;
    // Sends every table's waiting rows and waits until the server has taken them all.
    void flush() override;

    // One row in COPY's text format, with its line end.
    static void encodeRow(const QVariantList &values, QByteArray *out);

private:
    struct Chunk {
        QString table;
        QStringList columns;
        QByteArray text;
    };
    void enqueue(Chunk chunk);
    void sendLoop();
    // Empty, or the server's refusal.
    QString send(const Chunk &chunk);
    void throwIfFailed();

    pg_conn *m_connection = nullptr;
    QHash<QString, Chunk> m_pending;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Chunk> m_queue;
    bool m_sending = false;
    bool m_stop = false;
    QString m_error;
    std::thread m_sender;
};

} // namespace dbtools
