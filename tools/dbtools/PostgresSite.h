#pragma once
// A site on a PostgreSQL database: the DDL's binary type is bytea and its counters identity
// columns, the tables listed are those of the current schema, a seed's rows go in with COPY
// (PgCopyWriter) and the filled tables are analysed, and the database holds the application
// server's rules by itself (ServerAccess: roles, grants, row security, functions taken away).

#include "tools/dbtools/SiteEngine.h"

namespace dbtools {

class PostgresSite final : public SiteEngine {
public:
    QString driverName() const override;
    QString migrationEnding() const override;
    QString dialect(const QString &statement) const override;
    QStringList tables(const QSqlDatabase &db) const override;
    DbOutcome settleSchema(const QSqlDatabase &db) const override;
    std::unique_ptr<RowSink> rowSink(const QSqlDatabase &db) const override;
    // ANALYZE of the filled tables.
    void afterBulkLoad(const QSqlDatabase &db, const QStringList &tables) const override;
    DbOutcome setUpAccess(QSqlDatabase &db, const QString &connInfo, const QString &readerPassword) const override;
};

} // namespace dbtools
