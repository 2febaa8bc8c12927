#include "DemoDatabase.h"

#include "DatabaseOpener.h"
#include "DemoSeeder.h"
#include "SchemaLoader.h"
#include "TApplication.h"
#include "Ugnnorma.h"

#include <QSqlDatabase>

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
    ResetSessionGlobals();
    gStProtocolo = QStringLiteral("local");
    gStAliasCnx = path;
    gStParUsu = gStCodiUsua = QStringLiteral("ADMIN");
    gStParPas = gStPassUsua = QStringLiteral("ADMIN");
    gStParEmp = gStCodiEmpr = QString::number(company);
    TApplication::instance().Tag = company;
}

void DemoDatabase::startSession(int company) const
{
    startLocalSession(m_path, company);
}
