#include "appserver/SqliteWriter.h"

#include "appserver/SqliteBinding.h"

#include <QByteArray>
#include <QSqlError>
#include <QVariant>

#include <sqlite3.h>

namespace appserver {

namespace {

// Statements kept at most; a save uses two or three texts.
constexpr int kKeptWrites = 16;

} // namespace

SqliteWriter::SqliteWriter(sqlite3 *db) : m_db(db)
{
    // A save of thousands of rows walks the table's indexes all over: with the default two
    // megabytes the pages of a grown table are read from the file again and again.
    sqlite3_exec(m_db, "PRAGMA cache_size = -65536", nullptr, nullptr, nullptr);
}

SqliteWriter::~SqliteWriter()
{
    for (sqlite3_stmt *stmt : std::as_const(m_statements))
        sqlite3_finalize(stmt);
}

QSqlError SqliteWriter::databaseError(int code) const
{
    return QSqlError(QString(), QString::fromUtf8(sqlite3_errmsg(m_db)), QSqlError::StatementError,
                     QString::number(code));
}

sqlite3_stmt *SqliteWriter::prepared(const QString &statement)
{
    if (sqlite3_stmt *kept = m_statements.value(statement))
        return kept;
    const QByteArray utf8 = statement.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v3(m_db, utf8.constData(), int(utf8.size()), SQLITE_PREPARE_PERSISTENT, &stmt, nullptr)
            != SQLITE_OK
        || !stmt)
        return nullptr;
    if (m_statements.size() >= kKeptWrites) {
        for (sqlite3_stmt *old : std::as_const(m_statements))
            sqlite3_finalize(old);
        m_statements.clear();
    }
    m_statements.insert(statement, stmt);
    return stmt;
}

int SqliteWriter::bind(sqlite3_stmt *stmt, const QVariant *values, qsizetype count) const
{
    // The values outlive the statement's step.
    for (int i = 0; i < int(count); ++i)
        if (const int rc = bindSqliteValue(stmt, i + 1, values[i]); rc != SQLITE_OK)
            return rc;
    return SQLITE_OK;
}

bool SqliteWriter::run(const QString &statement, const QVariant *values, qsizetype count, int *rows, QVariant *first,
                       QSqlError *error)
{
    sqlite3_stmt *stmt = prepared(statement);
    if (!stmt) {
        *error = databaseError(sqlite3_extended_errcode(m_db));
        return false;
    }
    if (count != sqlite3_bind_parameter_count(stmt)) {
        *error = QSqlError(QString(), QStringLiteral("Parameter count mismatch"), QSqlError::StatementError);
        return false;
    }
    int rc = bind(stmt, values, count);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW && first)
            *first = sqlite3_column_int64(stmt, 0);
        while (rc == SQLITE_ROW)
            rc = sqlite3_step(stmt);
    }
    // The connection's message is the statement's until the reset.
    const bool done = rc == SQLITE_DONE;
    if (done)
        *rows = sqlite3_changes(m_db);
    else
        *error = databaseError(rc);
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    return done;
}

} // namespace appserver
