#pragma once
// Creates the suite's tables on an open connection from the portable DDL kept in
// db/schema/schema.sql (compiled in as a resource). The DDL is written once; the connection's
// engine (SiteEngine) maps it to its dialect.

#include "tools/dbtools/DbOutcome.h"

#include <QSqlDatabase>
#include <QStringList>

namespace dbtools {

class SchemaLoader {
public:
    explicit SchemaLoader(const QSqlDatabase &db);
    // The caller has begun a transaction and commits or rolls back itself (seed on PostgreSQL).
    void joinTransaction() { m_outer = true; }

    // The statements of the DDL as written, comments removed, one per entry.
    static QStringList portableStatements();
    // Every table the DDL creates, in creation order.
    static QStringList tableNames();
    // The columns of one table in the order the DDL declares them (the order seeders insert in).
    static QStringList columns(const QString &table);
    // The DDL's secondary indexes (CREATE [UNIQUE] INDEX statements) and their names, in order.
    static QStringList indexStatements();
    static QStringList indexNames();

    // The statements in this connection's dialect.
    QStringList statements() const;
    // The tables of tableNames() that already exist on this connection.
    QStringList existingTables() const;
    // Creates every table and index in one transaction, once the engine has settled the database
    // as its users read it (SiteEngine::settleSchema: SQLite files keep the rollback journal).
    DbOutcome create();
    // Drops every table of the schema that exists, in one transaction.
    DbOutcome dropAll();

private:
    bool begin();
    bool commit();
    void rollback();
    QSqlDatabase m_db;
    bool m_outer = false;
};

} // namespace dbtools
