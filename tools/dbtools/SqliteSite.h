#pragma once
// A site on an SQLite file: the DDL's counters are the rows' own numbers, the file keeps the
// rollback journal (reading it leaves no -wal or -shm file beside it, which another user of a
// shared folder could leave there and so stop its owner from saving), and a seed's rows are bound
// straight through SQLite's own interface, one prepared statement per table (the driver's binding
// by placeholder name costs more than the insert). The server's rules are the server's own: the
// file has no roles to set up.

#include "tools/dbtools/SiteEngine.h"

namespace dbtools {

class SqliteSite final : public SiteEngine {
public:
    QString driverName() const override;
    QString migrationEnding() const override;
    QString dialect(const QString &statement) const override;
    QStringList tables(const QSqlDatabase &db) const override;
    // journal_mode=DELETE.
    DbOutcome settleSchema(const QSqlDatabase &db) const override;
    std::unique_ptr<RowSink> rowSink(const QSqlDatabase &db) const override;
    void afterBulkLoad(const QSqlDatabase &db, const QStringList &tables) const override;
    DbOutcome setUpAccess(QSqlDatabase &db, const QString &connInfo, const QString &readerPassword) const override;
};

} // namespace dbtools
