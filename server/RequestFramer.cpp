#include "server/RequestFramer.h"

#include <QList>

namespace {

// A chunk-size line, the end of a chunk or a trailer line: a few bytes in any honest request.
constexpr qsizetype kMaxLineBytes = 4096;

QString notHttp(const char *why)
{
    return QStringLiteral("La solicitud HTTP no se entiende: %1.").arg(QString::fromUtf8(why));
}

QByteArray withoutLineEnd(QByteArray line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

// Where the blank line that ends a head ends, looking from `from` on; -1 while it has not come.
// Bare LF line ends count as well, since the HTTP server's parser accepts them.
qsizetype headEnd(const QByteArray &text, qsizetype from)
{
    for (qsizetype at = text.indexOf('\n', from); at >= 0; at = text.indexOf('\n', at + 1)) {
        if (at + 1 < text.size() && text.at(at + 1) == '\n')
            return at + 2;
        if (at + 2 < text.size() && text.at(at + 1) == '\r' && text.at(at + 2) == '\n')
            return at + 3;
    }
    return -1;
}

bool isRequestLine(const QList<QByteArray> &parts)
{
    if (parts.size() != 3 || parts.at(0).isEmpty() || parts.at(1).isEmpty())
        return false;
    for (const char c : parts.at(0))
        if (c < 'A' || c > 'Z')
            return false;
    return parts.at(2) == "HTTP/1.1" || parts.at(2) == "HTTP/1.0";
}

bool isDigits(const QByteArray &text, int maxDigits)
{
    if (text.isEmpty() || text.size() > maxDigits)
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

RequestFramer::RequestFramer(qint64 maxBodyBytes) : m_maxBodyBytes(maxBodyBytes) {}

RequestFramer::Refusal RequestFramer::feed(QByteArrayView bytes)
{
    while (!m_refusal && !bytes.isEmpty()) {
        switch (m_state) {
        case State::Head:
            takeHead(bytes);
            break;
        case State::Body:
        case State::ChunkData: {
            const qint64 take = qMin<qint64>(m_remaining, bytes.size());
            bytes = bytes.sliced(take);
            m_remaining -= take;
            if (m_state == State::ChunkData)
                m_bodyBytes += take;
            if (m_remaining == 0)
                m_state = m_state == State::Body ? State::Head : State::ChunkEnd;
            break;
        }
        case State::ChunkSize:
            if (takeLine(bytes))
                chunkSize();
            break;
        case State::ChunkEnd:
        case State::Trailer:
            if (takeLine(bytes))
                endLine();
            break;
        }
    }
    return m_refusal;
}

void RequestFramer::takeHead(QByteArrayView &bytes)
{
    // Blank lines before a request are skipped, as the parser does.
    while (m_pending.isEmpty() && !bytes.isEmpty() && (bytes.front() == '\r' || bytes.front() == '\n'))
        bytes = bytes.sliced(1);
    const qsizetype before = m_pending.size();
    m_pending.append(bytes.first(qMin<qsizetype>(bytes.size(), kMaxHeadBytes - before)));
    const qsizetype end = headEnd(m_pending, qMax<qsizetype>(0, before - 2));
    if (end < 0) {
        if (m_pending.size() >= kMaxHeadBytes)
            refuse(431, QStringLiteral("La cabecera de la solicitud supera el máximo de %1 bytes.").arg(kMaxHeadBytes));
        bytes = {};
        return;
    }
    // What follows the head in these bytes is its body.
    bytes = bytes.sliced(end - before);
    const QByteArray head = m_pending.left(end);
    m_pending.clear();
    startBody(head);
}

void RequestFramer::startBody(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> request = withoutLineEnd(lines.first()).split(' ');
    if (!isRequestLine(request))
        return refuse(400, notHttp("la primera línea no es «MÉTODO ruta HTTP/1.1»"));
    m_path = request.at(1).split('?').first();
    QByteArray length, encoding;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = withoutLineEnd(lines.at(i));
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        // A name must touch its colon, and folded lines are obsolete: both let two readers of
        // one head disagree on its fields.
        if (colon <= 0 || line.front() == ' ' || line.front() == '\t' || line.at(colon - 1) == ' '
            || line.at(colon - 1) == '\t')
            return refuse(400, notHttp("una cabecera no tiene la forma «nombre: valor»"));
        const QByteArray name = line.left(colon).toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            if (!isDigits(value, 18) || (!length.isEmpty() && length != value))
                return refuse(400, notHttp("Content-Length no es un número de bytes"));
            length = value;
        } else if (name == "transfer-encoding") {
            encoding = encoding.isEmpty() ? value : encoding + ", " + value;
        }
    }
    m_bodyBytes = 0;
    if (!encoding.isEmpty()) {
        if (!length.isEmpty())
            return refuse(400, QStringLiteral("La solicitud no puede indicar a la vez Content-Length y Transfer-Encoding."));
        if (encoding.split(',').last().trimmed().toLower() != "chunked")
            return refuse(400, QStringLiteral("La solicitud usa una codificación de transferencia distinta de chunked."));
        m_state = State::ChunkSize;
        return;
    }
    m_remaining = length.toLongLong();
    if (m_remaining > m_maxBodyBytes)
        return refuse(413, QStringLiteral("La solicitud ocupa %1 bytes; el máximo es %2 bytes.").arg(m_remaining).arg(m_maxBodyBytes));
    m_state = m_remaining > 0 ? State::Body : State::Head;
}

// Lines of a chunked body count as its bytes, so that endless trailers pass the limit too. True
// once the line is whole.
bool RequestFramer::takeLine(QByteArrayView &bytes)
{
    const qsizetype newline = bytes.indexOf('\n');
    const qsizetype take = newline < 0 ? bytes.size() : newline + 1;
    if (m_pending.size() + take > kMaxLineBytes) {
        refuse(400, notHttp("una línea del cuerpo por fragmentos es demasiado larga"));
        return false;
    }
    m_pending.append(bytes.first(take));
    bytes = bytes.sliced(take);
    m_bodyBytes += take;
    if (m_bodyBytes > m_maxBodyBytes) {
        refuse(413, QStringLiteral("La solicitud supera el máximo de %1 bytes.").arg(m_maxBodyBytes));
        return false;
    }
    return newline >= 0;
}

void RequestFramer::chunkSize()
{
    const QByteArray line = withoutLineEnd(m_pending);
    m_pending.clear();
    const QByteArray digits = line.split(';').first().trimmed();
    bool hex = !digits.isEmpty() && digits.size() <= 15;
    const qint64 size = hex ? digits.toLongLong(&hex, 16) : 0;
    if (!hex || digits.startsWith('+') || digits.startsWith('-'))
        return refuse(400, notHttp("el tamaño de un fragmento no es un número hexadecimal"));
    // Refused from the size it announces, before the chunk's bytes come.
    if (m_bodyBytes + size > m_maxBodyBytes)
        return refuse(413, QStringLiteral("La solicitud supera el máximo de %1 bytes.").arg(m_maxBodyBytes));
    m_remaining = size;
    m_state = size > 0 ? State::ChunkData : State::Trailer;
}

// The line after a chunk's bytes must be empty; an empty trailer line ends the request.
void RequestFramer::endLine()
{
    const bool empty = withoutLineEnd(m_pending).isEmpty();
    m_pending.clear();
    if (m_state == State::ChunkEnd && !empty)
        refuse(400, notHttp("un fragmento no termina donde su tamaño dice"));
    else if (m_state == State::ChunkEnd)
        m_state = State::ChunkSize;
    else if (empty)
        m_state = State::Head;
}

void RequestFramer::refuse(int status, const QString &message)
{
    m_refusal = {status, message};
}
