#pragma once
// Creates the suite's tables on an open connection (SQLite or PostgreSQL) from the portable DDL
// kept in db/schema/schema.sql (compiled in as a resource). The DDL is written once; the only
// dialect difference, the binary type, is mapped here.

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
    // One portable statement in the dialect of a Qt SQL driver ("QSQLITE", "QPSQL").
    static QString toDialect(const QString &statement, const QString &driverName);
    // Every table the DDL creates, in creation order.
    static QStringList tableNames();
    // The columns of one table in the order the DDL declares them (the order seeders insert in).
    static QStringList columns(const QString &table);
    // The DDL's secondary indexes (CREATE [UNIQUE] INDEX statements) and their names, in order.
    static QStringList indexStatements();
    static QStringList indexNames();

    // The statements for this connection's driver.
    QStringList statements() const;
    // The tables of tableNames() that already exist on this connection.
    QStringList existingTables() const;
    // Creates every table and index in one transaction; SQLite files are switched to the
    // rollback journal first.
    DbOutcome create();
    // SQLite: journal_mode=DELETE, so that reading the file leaves no -wal or -shm file beside
    // it (a file another user of a shared folder left there stops its owner from saving).
    // Needs the only connection to the file. Nothing on PostgreSQL.
    static DbOutcome useRollbackJournal(const QSqlDatabase &db);
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
