#pragma once
// SQLite reached through its own interface beside QtSql, for the paths where the driver's
// per-value bookkeeping costs more than SQLite's work (the server's block writes, a site's seed):
// the handle behind a QtSql connection, and a value bound the way the driver binds it, so that a
// row is stored the same on either path.

class QSqlDatabase;
class QVariant;
struct sqlite3;
struct sqlite3_stmt;

namespace appserver {

// The handle behind an open QtSql SQLite connection; null for another driver or a closed one.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

// Binds `value` at `position` (from 1) with the storage class QtSql's SQLite driver gives it: NULL
// for a null variant or a null text, bytes, date or time; integers and booleans as integers;
// doubles as reals; bytes as blobs; date-times as the server stores them ("yyyy-MM-dd HH:mm:ss",
// with milliseconds when they have some); anything else as its text. Text and bytes are not
// copied: `value` must live until the statement has stepped. Returns SQLite's result code.
int bindSqliteValue(sqlite3_stmt *statement, int position, const QVariant &value);

} // namespace appserver
