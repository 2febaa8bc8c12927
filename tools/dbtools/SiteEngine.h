#pragma once
// What differs between the database engines a site runs on, behind one interface: the dialect of
// the portable DDL and migrations, how the engine lists its tables, how a seed's rows go in and
// what a database needs once its schema changed or was filled. Each engine is one class
// (SqliteSite, PostgresSite); the engine of a connection is chosen once, by the connection's Qt
// driver, and the site tools ask it instead of testing driver names. Adding an engine is one class
// and its line in SiteEngine::all().

#include "tools/dbtools/DbOutcome.h"

#include <QList>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariantList>

#include <memory>

namespace dbtools {

// Where a seed's rows go on one engine, inside the transaction the seed has begun. Failures throw
// SeedError with the table and the engine's message.
class RowSink {
public:
    virtual ~RowSink() = default;
    // One row of `table`, its values in the order of `columns` (null QVariant for NULL).
    virtual void append(const QString &table, const QStringList &columns, const QVariantList &values) = 0;
    // Sends whatever is still waiting; runs before the commit.
    virtual void flush() = 0;
};

class SiteEngine {
public:
    virtual ~SiteEngine() = default;

    // Every engine the site tools know.
    static const QList<const SiteEngine *> &all();
    // The engine of Qt SQL driver `driverName` ("QSQLITE", "QPSQL"), or null.
    static const SiteEngine *forDriver(const QString &driverName);
    // The engine of an open connection; a driver the tools do not know is read as the first
    // engine's (SQLite, the file every tool can open).
    static const SiteEngine &of(const QSqlDatabase &db);

    // The Qt SQL driver the engine's connections use.
    virtual QString driverName() const = 0;
    // The end of the name of a migration written for this engine alone (".sqlite.sql").
    virtual QString migrationEnding() const = 0;
    // One portable statement of the DDL or a migration in this engine's dialect.
    virtual QString dialect(const QString &statement) const = 0;
    // The names of the tables in the connection's own schema.
    virtual QStringList tables(const QSqlDatabase &db) const = 0;
    // Leaves the database as its users read it once its schema was made or changed. Needs the
    // only connection to an SQLite file.
    virtual DbOutcome settleSchema(const QSqlDatabase &db) const = 0;
    // Where a seed's rows go on `db`; throws SeedError when the connection cannot take them.
    virtual std::unique_ptr<RowSink> rowSink(const QSqlDatabase &db) const = 0;
    // After a seed filled `tables`, inside its transaction; throws SeedError.
    virtual void afterBulkLoad(const QSqlDatabase &db, const QStringList &tables) const = 0;
    // What the engine needs so that it holds the application server's rules by itself, inside
    // the caller's transaction: the roles and grants a connection text (`connInfo`) names, the
    // reader getting `readerPassword`. The outcome's notices name the steps skipped.
    virtual DbOutcome setUpAccess(QSqlDatabase &db, const QString &connInfo, const QString &readerPassword) const = 0;
};

} // namespace dbtools
