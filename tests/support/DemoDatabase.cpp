#include "tests/support/DemoDatabase.h"

#include "tools/dbtools/DatabaseOpener.h"
#include "tools/dbtools/DemoSeeder.h"
#include "tools/dbtools/SchemaLoader.h"
#include "framework/Session.h"
#include "framework/Ugnnorma.h"
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

void startLocalSession(const QString &path, int company)
{
    LocalTransport::install();
    ResetSessionGlobals();
    Session::makeCurrent(Session(QStringLiteral("local"), QString(), path, QStringLiteral("ADMIN"),
                                 QStringLiteral("ADMIN"), company));
}

void DemoDatabase::startSession(int company) const
{
    startLocalSession(m_path, company);
}

QStringList querySqlite(const QString &path, const QString &sql, QChar separator)
{
    const QString connection = QStringLiteral("direct-sql-%1").arg(quintptr(&sql));
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        QSqlQuery query(db);
        if (!db.open() || !query.exec(sql))
            rows << QStringLiteral("ERROR: ") + (db.isOpen() ? query.lastError() : db.lastError()).text();
        while (query.next()) {
            QStringList values;
            for (int i = 0; i < query.record().count(); ++i)
                values << query.value(i).toString();
            rows << values.join(separator);
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return rows;
}
