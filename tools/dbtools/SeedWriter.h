#pragma once
// Inserts seed rows in the column order of the DDL and counts them, through the rows' way into
// the connection's engine (SiteEngine::rowSink: prepared statements bound through SQLite's own
// interface, or COPY on PostgreSQL, many thousand rows per round trip); flush() sends what is
// left and must run before the commit. A failing insert throws SeedError with the table and the
// engine's message; the seeders turn it into a DbOutcome and roll their transaction back.

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

class RowSink;

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
    };
    // The table, its columns checked against the number of values given.
    Table &tableFor(const QString &table, int valueCount);

    QHash<QString, Table> m_tables;
    std::unique_ptr<RowSink> m_sink;
};

} // namespace dbtools
