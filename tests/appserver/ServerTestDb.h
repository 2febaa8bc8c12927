#pragma once
// A fresh database for server tests: an SQLite file in a temporary folder, or the PostgreSQL
// database named by QACSEMAF_PG (libpq keywords, e.g. "host=127.0.0.1 port=5432 dbname=qac_test
// user=qac password=x"; a scratch database: its tables are dropped and created again). The schema
// is the project's db/schema; one user "PRUEBA"/"clave1" is created, with companies 1 to 3. On
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
    // Every row of a statement, its values as text joined by "|"; or the one line
    // "ERROR: <database error>".
    QStringList rows(const QString &statement);
    QString backendName() const;

private:
    QString loadSchema();
    QStringList schemaStatements() const;

    Backend m_backend;
    QTemporaryDir m_dir;
    appserver::DatabaseDescription m_description;
    QString m_connection;
};

// Runs the test class T (built from a backend) on SQLite and then on PostgreSQL; the failures of both.
template <class T>
int runOnEveryBackend(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int failures = 0;
    for (auto backend : {ServerTestDb::Backend::Sqlite, ServerTestDb::Backend::Postgres}) {
        T test(backend);
        failures += QTest::qExec(&test, argc, argv);
    }
    return failures;
}
