#pragma once
// Inserts seed rows in the column order of the DDL and counts them: on SQLite through one
// prepared statement per table, its values bound straight through SQLite's own interface (the
// driver's binding by placeholder name costs more than the insert), on PostgreSQL through COPY (PgCopyWriter), many thousand rows per
// round trip; flush() sends what is left and must run before the commit. A failing insert throws
// SeedError with the table and the driver's message; the seeders turn it into a DbOutcome and
// roll their transaction back.

#include <QHash>
#include <QMap>
#include <QSqlDatabase>
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

class PgCopyWriter;
struct SqliteInsert;

class SeedWriter {
public:
    explicit SeedWriter(const QSqlDatabase &db);
    ~SeedWriter();

    // One row of `table`, values in the column order of the DDL (null QVariant for NULL).
    void insert(const QString &table, const QVariantList &values);
    // Sends the rows still waiting in a batch; throws SeedError.
    void flush();
    // Rows inserted per table so far.
    QMap<QString, int> counts() const;

private:
    struct Table {
        QStringList columns;
        int count = 0;
        std::shared_ptr<SqliteInsert> insert;   // prepared on the first row
    };
    // The table, its columns checked against the number of values given.
    Table &tableFor(const QString &table, int valueCount);
    SqliteInsert &statementFor(const QString &name, Table &table);
    void insertSqlite(const QString &name, Table &table, const QVariantList &values);

    QSqlDatabase m_db;
    bool m_sqlite;
    QHash<QString, Table> m_tables;
    std::unique_ptr<PgCopyWriter> m_copy;      // PostgreSQL only
};

} // namespace dbtools
