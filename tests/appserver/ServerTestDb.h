#pragma once
// A fresh database for server tests: an SQLite file in a temporary folder, or the scratch
// PostgreSQL database QACSEMAF_PG names (libpq keywords; its tables are dropped and created again).
// The schema is the project's; one user "PRUEBA"/"clave1" is created, with companies 1 to 3. On
// PostgreSQL the reader login, the writer role and row security are set up as `seed` does it.

#include "appserver/DatabaseDescription.h"
#include "protocol/Protocol.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

class ServerTestDb {
public:
    enum class Backend { Sqlite, Postgres };

    explicit ServerTestDb(Backend backend);
    ~ServerTestDb();

    // Empty when the database is ready; otherwise why it is not (for QSKIP when PG is absent).
    QString create();
    QString skipReason() const;

    appserver::DatabaseDescription description() const { return m_description; }
    static protocol::Credentials session();

    // Runs a statement of the test's own setup; returns the database error, empty on success.
    QString exec(const QString &statement, const QVariantList &values = {});
    // The first value of a statement's first row as text, or the database error.
    QString value(const QString &statement);

private:
    Backend m_backend;
    QTemporaryDir m_dir;
    appserver::DatabaseDescription m_description;
    QString m_connection;
};

// In initTestCase: skips when the backend is not there, else creates the database.
#define CREATE_SERVER_TEST_DB(db)                                                                  \
    if (!(db).skipReason().isEmpty())                                                              \
        QSKIP(qPrintable((db).skipReason()));                                                      \
    QCOMPARE((db).create(), QString())

// Runs the test class T (built from a backend) on SQLite and then on PostgreSQL; the failures of both.
template <class T>
int runOnEveryBackend(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int failures = 0;
    for (auto backend : {ServerTestDb::Backend::Sqlite, ServerTestDb::Backend::Postgres}) {
        qInfo("Backend: %s", backend == ServerTestDb::Backend::Sqlite ? "SQLite" : "PostgreSQL");
        T test(backend);
        failures += QTest::qExec(&test, argc, argv);
    }
    return failures;
}
