#pragma once
// Fills a database that SchemaLoader has just created: either the demo world (three companies,
// career plans, ~320 people) or a large synthetic company for benchmarks. Everything is written
// in one transaction with one prepared statement per table, from a fixed random seed, so the
// same call always produces the same rows.

#include "tools/dbtools/DbOutcome.h"

#include <QMap>
#include <QSqlDatabase>

#include <functional>

namespace dbtools {

class SeedWriter;

class DemoSeeder {
public:
    static constexpr quint64 DemoSeed = 20240304;

    explicit DemoSeeder(const QSqlDatabase &db);
    // The caller has begun a transaction and commits or rolls back itself.
    void joinTransaction() { m_outer = true; }

    DbOutcome seedDemo();
    // One company with `employees` active contracts (at least 1).
    DbOutcome seedSynthetic(int employees);
    // Rows written per table by the last successful seed.
    const QMap<QString, int> &rowCounts() const { return m_counts; }

private:
    DbOutcome inTransaction(const std::function<void(SeedWriter &)> &fill);

    QSqlDatabase m_db;
    QMap<QString, int> m_counts;
    bool m_outer = false;
};

} // namespace dbtools
