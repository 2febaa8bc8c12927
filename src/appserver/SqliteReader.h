#pragma once
// The read path's fast lane on SQLite: runs a statement through SQLite's own interface on the
// reader connection's handle and builds the rows straight from the typed columns, instead of
// through QSqlQuery's cached variants and a second conversion. Prepared statements are kept
// per text, so the small calls a workstation repeats are not compiled again. Field types and
// values are what the QtSql path gives (declared types, or the first row's storage class for an
// expression).

#include "appserver/ProtocolNames.h"
#include "appserver/SqlEngine.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariantList>

struct sqlite3;
struct sqlite3_stmt;

namespace appserver {

class SqliteReader : public DirectReader {
public:
    explicit SqliteReader(sqlite3 *db);
    ~SqliteReader() override;
    SqliteReader(const SqliteReader &) = delete;
    SqliteReader &operator=(const SqliteReader &) = delete;

    // The rows of one statement with positional markers; the error text on failure.
    FetchResult read(const QString &statement, const QVariantList &values) override;
    // The same rows handed to `sink` as they are read; the error text on failure (rows the
    // sink took before a failure are not taken back).
    QString readEach(const QString &statement, const QVariantList &values, RowSink &sink) override;
    // Run right before and after the next read: SQLite has no round trips to save.
    void sendWith(const AroundRead &around) override { m_around = around; }

private:
    // A compiled statement and what its declared column types say (read once).
    struct Prepared {
        sqlite3_stmt *stmt = nullptr;
        QList<FieldDesc> fields;     // Unknown where a column has no declared type
        QList<bool> declared;
    };
    Prepared *prepared(const QString &statement, QString *error);
    QString bind(sqlite3_stmt *stmt, const QVariantList &values) const;
    QString databaseError() const;
    // Runs the statement: `describe` gets the fields, then `take` the cells of each row.
    template <class Describe, class Take>
    QString walk(const QString &statement, const QVariantList &values, Describe describe, Take take);

    sqlite3 *m_db;
    QHash<QString, Prepared> m_statements;
    QString runAll(const QStringList &statements);

    AroundRead m_around;
};

} // namespace appserver
