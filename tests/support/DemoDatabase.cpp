#include "tests/support/DemoDatabase.h"

#include "tools/dbtools/DatabaseOpener.h"
#include "tools/dbtools/DemoSeeder.h"
#include "tools/dbtools/SchemaLoader.h"
#include "framework/localtransport/LocalTransport.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

DemoDatabase::DemoDatabase(int employees)
{
    m_path = m_dir.filePath(QStringLiteral("demo.db"));
    const QString connection = QStringLiteral("demo-seed-%1").arg(quintptr(this));
    {
        dbtools::DbOutcome outcome = dbtools::DatabaseOpener::openSqlite(m_path, connection);
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        if (outcome.ok())
            outcome = dbtools::SchemaLoader(db).create();
        if (outcome.ok()) {
            dbtools::DemoSeeder seeder(db);
            outcome = employees > 0 ? seeder.seedSynthetic(employees) : seeder.seedDemo();
        }
        m_error = outcome.error;
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

Session localSession(const QString &path, int company)
{
    LocalTransport::install();
    return Session(QStringLiteral("local"), QString(), path, QStringLiteral("ADMIN"), QStringLiteral("ADMIN"), company);
}

namespace {

// The rows of each statement but the last are passed over.
QStringList runOn(QSqlDatabase db, const QString &openError, const QStringList &statements, QChar separator)
{
    QSqlQuery query(db);
    if (!openError.isEmpty())
        return {QStringLiteral("ERROR: ") + openError};
    for (const QString &sql : statements)
        if (!query.exec(sql))
            return {QStringLiteral("ERROR: ") + query.lastError().text()};
    QStringList rows;
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i)
            values << query.value(i).toString();
        rows << values.join(separator);
    }
    return rows;
}

} // namespace

QStringList querySqlite(const QString &path, const QString &sql, QChar separator)
{
    const QString connection = QStringLiteral("direct-sql-%1").arg(quintptr(&sql));
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        rows = runOn(db, db.open() ? QString() : db.lastError().text(), {sql}, separator);
    }
    QSqlDatabase::removeDatabase(connection);
    return rows;
}

QStringList queryPostgres(const QStringList &statements, const QString &conninfo)
{
    const QString connection = QStringLiteral("direct-pg-%1").arg(quintptr(&statements));
    QStringList rows;
    {
        const dbtools::DbOutcome opened = dbtools::DatabaseOpener::openPostgres(
            conninfo.isEmpty() ? qEnvironmentVariable("QACSEMAF_PG") : conninfo, connection);
        rows = runOn(QSqlDatabase::database(connection, false), opened.error, statements, QLatin1Char('|'));
    }
    QSqlDatabase::removeDatabase(connection);
    return rows;
}
