#include "SqlConnection.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

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

SqlConnection::~SqlConnection()
{
    close();
}

QString SqlConnection::open(const DatabaseDescription &description, const SqlDialect &dialect,
                            bool readOnly)
{
    close();
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
        close();
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
            close();
            return QStringLiteral("No se pudo preparar la conexión a %1: %2")
                .arg(description.displayName(), error);
        }
    }
    return {};
}

void SqlConnection::close()
{
    if (m_name.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
}

bool SqlConnection::isOpen() const
{
    return !m_name.isEmpty() && QSqlDatabase::database(m_name, false).isOpen();
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
