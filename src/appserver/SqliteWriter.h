#pragma once
// The write path's direct lane on SQLite: a statement run through SQLite's own interface on the
// writing connection's handle, inside whatever transaction the connection has open. Values are
// bound as QtSql's driver binds them (bindSqliteValue), so a row is stored the same either way.
// Compiled statements are kept per text: a block of many rows repeats one text.

#include "appserver/SqlEngine.h"

#include <QHash>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace appserver {

class SqliteWriter : public DirectWriter {
public:
    explicit SqliteWriter(sqlite3 *db);
    ~SqliteWriter() override;
    SqliteWriter(const SqliteWriter &) = delete;
    SqliteWriter &operator=(const SqliteWriter &) = delete;

    bool run(const QString &statement, const QVariant *values, qsizetype count, int *rows, QVariant *first,
             QSqlError *error) override;

private:
    sqlite3_stmt *prepared(const QString &statement);
    int bind(sqlite3_stmt *stmt, const QVariant *values, qsizetype count) const;
    QSqlError databaseError(int code) const;

    sqlite3 *m_db;
    QHash<QString, sqlite3_stmt *> m_statements;
};

} // namespace appserver
