#include "appserver/SqlConnection.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlQuery>

namespace appserver {

namespace {

QString uniqueName(bool readOnly)
{
    static QAtomicInt counter;
    return QStringLiteral("qacsemaf-appserver-%1-%2")
        .arg(readOnly ? QStringLiteral("read") : QStringLiteral("write"))
        .arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

SqlConnection::SqlConnection() = default;

SqlConnection::~SqlConnection()
{
    close();
}

QString SqlConnection::open(const DatabaseDescription &description, const SqlDialect &dialect,
                            bool readOnly)
{
    release();
    m_wanted = true;
    m_description = description;
    m_dialect = dialect;
    m_readOnly = readOnly;
    const SqlEngine &engine = dialect.sqlEngine();
    m_name = uniqueName(readOnly);
    QSqlDatabase db = QSqlDatabase::addDatabase(engine.driverName(), m_name);
    if (const QString refused = engine.configure(db, description, readOnly); !refused.isEmpty()) {
        release();
        return refused;
    }
    if (!db.open()) {
        const QString reason = db.lastError().text();
        release();
        return QStringLiteral("No se pudo abrir la base de datos %1%2: %3")
            .arg(description.displayName(), engine.openFailureDetail(description, readOnly), reason);
    }
    QString error;
    for (const QString &statement : engine.sessionSetup(description, readOnly)) {
        error = exec(statement);
        if (!error.isEmpty())
            break;
    }
    if (error.isEmpty())
        error = engine.prepareOpened(db, description, readOnly, &m_guard, &m_resetsSession);
    if (!error.isEmpty()) {
        release();
        return QStringLiteral("No se pudo preparar la conexión a %1: %2").arg(description.displayName(), error);
    }
    return {};
}

void SqlConnection::close()
{
    m_wanted = false;
    release();
}

void SqlConnection::release()
{
    m_resetsSession = false;
    m_guard.reset();
    // The queries and the reader go before the connection they were prepared on.
    m_reads.clear();
    m_direct.reset();
    m_directWriter.reset();
    if (m_name.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
}

void SqlConnection::allowCredentials(bool allow)
{
    if (m_guard)
        m_guard->allowCredentials(allow);
}

bool SqlConnection::isOpen() const
{
    return !m_name.isEmpty() && QSqlDatabase::database(m_name, false).isOpen();
}

bool SqlConnection::isBroken() const
{
    if (!isOpen())
        return true;
    return m_dialect.sqlEngine().isBroken(database());
}

QString SqlConnection::reopen()
{
    const QString error = open(DatabaseDescription(m_description), SqlDialect(m_dialect), m_readOnly);
    if (!error.isEmpty())
        return QStringLiteral("Se perdió la conexión con la base de datos y no se pudo restablecer. "
                              "Intente de nuevo en unos momentos. %1").arg(error);
    ++m_reopenings;
    if (m_log)
        m_log(QStringLiteral("conexión a la base de datos restablecida (%1, %2)")
                  .arg(m_readOnly ? QStringLiteral("lectura") : QStringLiteral("escritura"),
                       m_description.displayName()));
    return {};
}

bool SqlConnection::inTransaction() const
{
    return m_dialect.sqlEngine().inTransaction(database());
}

QString SqlConnection::beginRequest(const QList<int> &companies, Begin when)
{
    if (!m_wanted)
        return QStringLiteral("La conexión a la base de datos no está abierta.");
    m_waiting = {};
    m_endSentWithRead = false;
    if (isBroken())
        if (const QString error = reopen(); !error.isEmpty())
            return error;
    // A begin that waits meets a connection ended while idle on the read: the owner runs a read
    // cut short again (ServerCore), and that begin opens the connection again.
    if (when != Begin::Now)
        m_waiting.before = m_dialect.sqlEngine().beginWithFirstRead(m_readOnly, companies);
    if (!m_waiting.before.isEmpty()) {
        if (when == Begin::OnlyRead)
            m_waiting.after = QStringList{m_dialect.endRequest(m_readOnly, true)};
        return {};
    }
    const QString begin = m_dialect.beginRequest(m_readOnly, companies);
    if (begin.isEmpty())
        return {};
    QString error = exec(begin);
    // Ended while idle: the begin is the first to notice, and nothing has been written.
    if (!error.isEmpty() && isBroken()) {
        if (const QString reopened = reopen(); !reopened.isEmpty())
            return reopened;
        error = exec(begin);
    }
    // The begin and its setting are one text: a setting refused leaves a transaction to end.
    if (!error.isEmpty() && inTransaction())
        exec(m_dialect.endRequest(m_readOnly, false));
    return error;
}

AroundRead SqlConnection::takeAroundRead()
{
    m_endSentWithRead = !m_waiting.after.isEmpty();
    return std::exchange(m_waiting, {});
}

QString SqlConnection::runBegin()
{
    const QStringList begin = std::exchange(m_waiting, {}).before;
    return begin.isEmpty() ? QString() : exec(begin.join(QStringLiteral("; ")));
}

QString SqlConnection::endRequest(bool commit)
{
    // Nothing was sent: nothing to end, nothing changed in the session.
    if (!std::exchange(m_waiting, {}).isEmpty())
        return {};
    // An end that went with the read left no transaction, unless the read failed before it.
    const bool ended = std::exchange(m_endSentWithRead, false) && !inTransaction();
    if (isBroken())
        return commit && !m_readOnly ? QStringLiteral("Se perdió la conexión con la base de datos antes de confirmar; "
                                       "la operación no se completó.")
                      : QString();
    QString error;
    const QString end = m_dialect.endRequest(m_readOnly, commit);
    // A failed statement may have ended the transaction already (a fetch rolls back itself).
    if (!end.isEmpty() && !ended && (commit || inTransaction()))
        error = exec(end);
    if (m_resetsSession && !exec(m_dialect.sessionReset(m_description, m_readOnly)).isEmpty())
        release(); // a session that cannot be put back is not used again: the next request reopens
    return error;
}

DirectReader *SqlConnection::directReader()
{
    if (!m_direct && isOpen())
        m_direct = m_dialect.sqlEngine().directReader(database());
    return m_direct.get();
}

DirectWriter *SqlConnection::directWriter()
{
    if (!m_directWriter && isOpen() && !m_readOnly)
        m_directWriter = m_dialect.sqlEngine().directWriter(database());
    return m_directWriter.get();
}

QSqlDatabase SqlConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

QSqlQuery *SqlConnection::preparedRead(const QString &statement, QString *error)
{
    if (const QString begun = runBegin(); !begun.isEmpty()) {
        *error = begun;
        return nullptr;
    }
    // A workstation repeats a few dozen shapes of read; the registry bounds them anyway.
    constexpr int kKeptReads = 128;
    if (const auto kept = m_reads.constFind(statement); kept != m_reads.constEnd())
        return kept->get();
    auto query = std::make_shared<QSqlQuery>(database());
    query->setForwardOnly(true);
    if (!query->prepare(statement)) {
        *error = query->lastError().text();
        return nullptr;
    }
    if (m_reads.size() >= kKeptReads)
        m_reads.clear();
    return m_reads.insert(statement, std::move(query))->get();
}

QString SqlConnection::exec(const QString &statement)
{
    // A text of several statements answers one result each and the driver reports the first:
    // a later one that failed (undoing those before it) shows only when the rest are read.
    QSqlQuery query(database());
    if (!query.exec(statement))
        return query.lastError().text();
    while (query.nextResult()) {
    }
    return query.lastError().isValid() ? query.lastError().text() : QString();
}

} // namespace appserver
