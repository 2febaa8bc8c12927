#pragma once
// Inserts seed rows through one prepared statement per table, in the column order of the DDL,
// and counts them. A failing insert throws SeedError with the table and the driver's message;
// the seeders turn it into a DbOutcome and roll their transaction back.

#include <QHash>
#include <QMap>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantList>

#include <memory>
#include <stdexcept>

namespace dbtools {

class SeedError : public std::runtime_error {
public:
    explicit SeedError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

class SeedWriter {
public:
    explicit SeedWriter(const QSqlDatabase &db);
    ~SeedWriter();

    // One row of `table`, values in the column order of the DDL (null QVariant for NULL).
    void insert(const QString &table, const QVariantList &values);
    // Rows inserted per table so far.
    const QMap<QString, int> &counts() const { return m_counts; }

private:
    QSqlQuery &statementFor(const QString &table, int valueCount);

    QSqlDatabase m_db;
    bool m_sqlite;
    QHash<QString, std::shared_ptr<QSqlQuery>> m_statements;
    QMap<QString, int> m_counts;
    QHash<QString, int> m_columnCounts;
};

} // namespace dbtools
