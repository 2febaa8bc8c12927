#include "tools/dbtools/PgCopyWriter.h"

#include "tools/dbtools/DbText.h"
#include "tools/dbtools/SeedWriter.h"

#include <QDateTime>
#include <QSqlDriver>
#include <libpq-fe.h>

namespace dbtools {

namespace {

// Text of one table sent as one COPY: large enough that round trips do not count, small enough
// that the server starts on the first rows soon.
constexpr qsizetype kChunkBytes = 1024 * 1024;

// Backslash, tab and line ends would end the field or the row; COPY reads them escaped.
void appendEscaped(const QByteArray &text, QByteArray *out)
{
    for (const char c : text) {
        switch (c) {
        case '\\': out->append("\\\\"); break;
        case '\t': out->append("\\t"); break;
        case '\n': out->append("\\n"); break;
        case '\r': out->append("\\r"); break;
        default: out->append(c);
        }
    }
}

void appendValue(const QVariant &value, QByteArray *out)
{
    if (value.isNull()) {
        out->append("\\N");
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        out->append(QByteArray::number(value.toLongLong()));
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        out->append(QByteArray::number(value.toDouble(), 'g', QLocale::FloatingPointShortest));
        break;
    case QMetaType::Bool:
        out->append(value.toBool() ? "t" : "f");
        break;
    case QMetaType::QDate:
        out->append(value.toDate().toString(Qt::ISODate).toLatin1());
        break;
    case QMetaType::QDateTime: {
        const QDateTime stamp = value.toDateTime();
        out->append(stamp.toString(stamp.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                                        : QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1());
        break;
    }
    case QMetaType::QByteArray:
        // bytea's hex input, "\x0a1b...", with its backslash escaped for COPY.
        out->append("\\\\x");
        out->append(value.toByteArray().toHex());
        break;
    default:
        appendEscaped(value.toString().toUtf8(), out);
    }
}

QString serverMessage(PGconn *connection, PGresult *result = nullptr)
{
    const char *text = result ? PQresultErrorMessage(result) : PQerrorMessage(connection);
    return QString::fromUtf8(text).trimmed();
}

} // namespace

PgCopyWriter::PgCopyWriter(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    // Qt names the type by the struct behind libpq's typedef.
    if (handle.isValid() && (qstrcmp(handle.typeName(), "PGconn*") == 0 || qstrcmp(handle.typeName(), "pg_conn*") == 0))
        m_connection = *static_cast<PGconn *const *>(handle.constData());
    if (!m_connection)
        throw SeedError(dbText(QT_TRANSLATE_NOOP("qacsemaf", "La base de datos no es una conexión PostgreSQL abierta")));
    m_sender = std::thread([this] { sendLoop(); });
}

PgCopyWriter::~PgCopyWriter()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        m_queue.clear();
    }
    m_changed.notify_all();
    m_sender.join();
}

void PgCopyWriter::encodeRow(const QVariantList &values, QByteArray *out)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            out->append('\t');
        appendValue(values.at(i), out);
    }
    out->append('\n');
}

void PgCopyWriter::append(const QString &table, const QStringList &columns, const QVariantList &values)
{
    Chunk &pending = m_pending[table];
    if (pending.table.isEmpty()) {
        pending.table = table;
        pending.columns = columns;
    }
    encodeRow(values, &pending.text);
    if (pending.text.size() >= kChunkBytes) {
        enqueue(Chunk{table, columns, std::move(pending.text)});
        pending.text = QByteArray();
        pending.text.reserve(kChunkBytes + kChunkBytes / 8);
    }
}

void PgCopyWriter::flush()
{
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
        if (!it->text.isEmpty())
            enqueue(Chunk{it->table, it->columns, std::move(it->text)});
        it->text = QByteArray();
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return (m_queue.empty() && !m_sending) || !m_error.isEmpty(); });
    lock.unlock();
    throwIfFailed();
}

// The queue is short: rows are made faster than the server stores them, and waiting here keeps
// the memory of a large seed to a few chunks.
void PgCopyWriter::enqueue(Chunk chunk)
{
    constexpr size_t kQueuedChunks = 4;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this] { return m_queue.size() < kQueuedChunks || !m_error.isEmpty(); });
        if (m_error.isEmpty())
            m_queue.push_back(std::move(chunk));
    }
    m_changed.notify_all();
    throwIfFailed();
}

void PgCopyWriter::throwIfFailed()
{
    QString error;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        error = m_error;
    }
    if (!error.isEmpty())
        throw SeedError(error);
}

void PgCopyWriter::sendLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop)
            return;
        const Chunk chunk = std::move(m_queue.front());
        m_queue.pop_front();
        m_sending = true;
        lock.unlock();
        m_changed.notify_all();
        const QString error = send(chunk);
        lock.lock();
        m_sending = false;
        if (!error.isEmpty() && m_error.isEmpty()) {
            m_error = error;
            m_queue.clear();
        }
        m_changed.notify_all();
    }
}

QString PgCopyWriter::send(const Chunk &chunk)
{
    const QByteArray command = QStringLiteral("COPY %1 (%2) FROM STDIN")
                                   .arg(chunk.table, chunk.columns.join(QLatin1Char(','))).toUtf8();
    PGresult *started = PQexec(m_connection, command.constData());
    const bool copying = PQresultStatus(started) == PGRES_COPY_IN;
    QString error = copying ? QString() : serverMessage(m_connection, started);
    PQclear(started);
    if (copying) {
        if (PQputCopyData(m_connection, chunk.text.constData(), int(chunk.text.size())) != 1)
            error = serverMessage(m_connection);
        // Ending the copy with an error message makes the server refuse the rows sent.
        if (PQputCopyEnd(m_connection, error.isEmpty() ? nullptr : "client failed") != 1 && error.isEmpty())
            error = serverMessage(m_connection);
        while (PGresult *result = PQgetResult(m_connection)) {
            if (PQresultStatus(result) != PGRES_COMMAND_OK && error.isEmpty())
                error = serverMessage(m_connection, result);
            PQclear(result);
        }
    }
    return error.isEmpty() ? QString() : dbText(QT_TRANSLATE_NOOP("qacsemaf", "Falló la inserción en %1: %2")).arg(chunk.table, error);
}

} // namespace dbtools
