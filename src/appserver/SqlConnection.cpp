#include "appserver/SqlConnection.h"

#include "appserver/SqliteReadAuthorizer.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <libpq-fe.h>
#include <sqlite3.h>

namespace appserver {

namespace {

QString uniqueName(bool readOnly)
{
    static QAtomicInt counter;
    return QStringLiteral("qacsemaf-appserver-%1-%2")
        .arg(readOnly ? QStringLiteral("read") : QStringLiteral("write"))
        .arg(counter.fetchAndAddRelaxed(1));
}

template <class Handle>
Handle *driverHandle(const QSqlDatabase &db, std::initializer_list<const char *> typeNames)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    for (const char *typeName : typeNames)
        if (handle.isValid() && qstrcmp(handle.typeName(), typeName) == 0)
            return *static_cast<Handle *const *>(handle.constData());
    return nullptr;
}

// The driver names libpq's handle by its struct's tag.
PGconn *postgresHandle(const QSqlDatabase &db)
{
    return driverHandle<PGconn>(db, {"PGconn*", "pg_conn*"});
}

QString quotedIdentifier(QString name)
{
    return QLatin1Char('"') + name.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
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
    // Opening a missing SQLite file would quietly create an empty database.
    if (description.engine == DatabaseDescription::Engine::Sqlite
        && !QFileInfo(description.filePath).isFile())
        return QStringLiteral("No existe la base de datos %1").arg(description.displayName());

    m_name = uniqueName(readOnly);
    QSqlDatabase db = QSqlDatabase::addDatabase(dialect.driverName(), m_name);
    QString options = dialect.connectOptions(description, readOnly);
    if (description.engine == DatabaseDescription::Engine::Sqlite) {
        db.setDatabaseName(description.filePath);
        // Nobody can write into a read-only folder, and SQLite could not make its shared-memory
        // file there: the database is read as a file that cannot change.
        const QFileInfo file(description.filePath);
        if (readOnly && !QFileInfo(file.absolutePath()).isWritable()) {
            db.setDatabaseName(QUrl::fromLocalFile(file.absoluteFilePath()).toString()
                               + QStringLiteral("?immutable=1"));
            options += QStringLiteral(";QSQLITE_OPEN_URI");
        }
    } else {
        db.setHostName(description.host);
        db.setPort(description.port);
        db.setDatabaseName(description.databaseName);
        const bool reader = readOnly && !description.readerUser.isEmpty();
        db.setUserName(reader ? description.readerUser : description.user);
        db.setPassword(reader && !description.readerPassword.isEmpty() ? description.readerPassword
                                                                       : description.password);
    }
    db.setConnectOptions(options);
    if (!db.open()) {
        const QString reason = db.lastError().text();
        release();
        return QStringLiteral("No se pudo abrir la base de datos %1%2: %3")
            .arg(description.displayName(),
                 readOnly && description.engine == DatabaseDescription::Engine::Postgres
                     ? QStringLiteral(" para lectura (usuario %1)").arg(description.readerUser)
                     : QString(),
                 reason);
    }
    for (const QString &statement : dialect.sessionSetup(description, readOnly)) {
        const QString error = exec(statement);
        if (!error.isEmpty()) {
            release();
            return QStringLiteral("No se pudo preparar la conexión a %1: %2")
                .arg(description.displayName(), error);
        }
    }
    if (description.engine == DatabaseDescription::Engine::Sqlite && readOnly)
        if (sqlite3 *handle = driverHandle<sqlite3>(database(), {"sqlite3*"}))
            m_authorizer = std::make_unique<SqliteReadAuthorizer>(handle);
    if (description.engine == DatabaseDescription::Engine::Postgres) {
        const QString error = readOnly ? QString() : switchToWriterRole(description);
        if (!error.isEmpty()) {
            release();
            return QStringLiteral("No se pudo preparar la conexión a %1: %2").arg(description.displayName(), error);
        }
        m_resetsSession = readOnly && mayChangeSession();
    }
    return {};
}

// Applies act as the module's writing role when the login may take it on, so that row security
// by company holds for them; a database set up before that role existed keeps the login's rights.
QString SqlConnection::switchToWriterRole(const DatabaseDescription &description)
{
    if (description.writerRole.isEmpty())
        return {};
    QSqlQuery query(database());
    query.prepare(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = ? AND pg_has_role(oid, 'MEMBER')"));
    query.addBindValue(description.writerRole);
    if (!query.exec())
        return query.lastError().text();
    if (!query.next())
        return {};
    return exec(QStringLiteral("SET ROLE %1").arg(quotedIdentifier(description.writerRole)));
}

bool SqlConnection::mayChangeSession()
{
    QSqlQuery query(database());
    // Unknown counts as yes: a reset too many costs a round trip, one too few a leak.
    return !query.exec(QStringLiteral("SELECT has_function_privilege("
                                      "'pg_catalog.set_config(text,text,boolean)', 'EXECUTE')"))
        || !query.next() || query.value(0).toBool();
}

void SqlConnection::close()
{
    m_wanted = false;
    release();
}

void SqlConnection::release()
{
    m_resetsSession = false;
    m_authorizer.reset();
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
    if (m_authorizer)
        m_authorizer->allowCredentials(allow);
}

bool SqlConnection::isOpen() const
{
    return !m_name.isEmpty() && QSqlDatabase::database(m_name, false).isOpen();
}

bool SqlConnection::isBroken() const
{
    if (!isOpen())
        return true;
    if (m_description.engine != DatabaseDescription::Engine::Postgres)
        return false;
    // libpq learns that the server ended the connection on the first statement that meets it.
    PGconn *handle = postgresHandle(database());
    return !handle || PQstatus(handle) == CONNECTION_BAD;
}

QString SqlConnection::reopen()
{
    const QString error = open(DatabaseDescription(m_description), SqlDialect(m_dialect), m_readOnly);
    if (!error.isEmpty())
        return QStringLiteral("Se perdió la conexión con la base de datos y no se pudo restablecer. "
                              "Intente de nuevo en unos momentos. %1").arg(error);
    if (m_log)
        m_log(QStringLiteral("conexión a la base de datos restablecida (%1, %2)")
                  .arg(m_readOnly ? QStringLiteral("lectura") : QStringLiteral("escritura"),
                       m_description.displayName()));
    return {};
}

bool SqlConnection::inTransaction() const
{
    if (m_description.engine == DatabaseDescription::Engine::Postgres) {
        PGconn *handle = postgresHandle(database());
        if (!handle)
            return false;
        const PGTransactionStatusType status = PQtransactionStatus(handle);
        return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
    }
    sqlite3 *handle = driverHandle<sqlite3>(database(), {"sqlite3*"});
    return handle && sqlite3_get_autocommit(handle) == 0;
}

QString SqlConnection::beginRequest(const QList<int> &companies)
{
    if (!m_wanted)
        return QStringLiteral("La conexión a la base de datos no está abierta.");
    if (isBroken())
        if (const QString error = reopen(); !error.isEmpty())
            return error;
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

QString SqlConnection::endRequest(bool commit)
{
    if (isBroken())
        return commit && !m_readOnly ? QStringLiteral("Se perdió la conexión con la base de datos antes de confirmar; "
                                       "la operación no se completó.")
                      : QString();
    QString error;
    const QString end = m_dialect.endRequest(m_readOnly, commit);
    // A failed statement may have ended the transaction already (a fetch rolls back itself).
    if (!end.isEmpty() && (commit || inTransaction()))
        error = exec(end);
    if (m_resetsSession && !exec(m_dialect.sessionReset(m_description, m_readOnly)).isEmpty())
        release(); // a session that cannot be put back is not used again: the next request reopens
    return error;
}

QSqlDatabase SqlConnection::database() const
{
    return QSqlDatabase::database(m_name, false);
}

QString SqlConnection::exec(const QString &statement)
{
    QSqlQuery query(database());
    if (!query.exec(statement))
        return query.lastError().text();
    return {};
}

} // namespace appserver
