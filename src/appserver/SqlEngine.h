#pragma once
// One database engine as the server core sees it: how its connections are opened and prepared,
// the statements that frame a request and a read, how result and table columns are typed, how a
// date is stored and an old value matched, how its errors are told apart, and the direct reader
// of its read path, if it has one. SqlDialect and SqlConnection ask the engine of their database
// and branch on nothing else; another engine is one more implementation registered in of().

#include "appserver/DatabaseDescription.h"
#include "appserver/ProtocolNames.h"
#include "protocol/SqlMask.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

namespace appserver {

// What an engine keeps beside an open connection for the connection's life (SQLite's reading
// guard); allowCredentials opens the stored passwords to it while a login is checked.
class ConnectionGuard {
public:
    virtual ~ConnectionGuard() = default;
    virtual void allowCredentials(bool allow) = 0;
};

// Statements a direct reader runs around its next read, in the same round trip where the engine
// can: a request's begin before it and, where that read is the whole request, its end after it.
struct AroundRead {
    QStringList before;
    QStringList after;
    bool isEmpty() const { return before.isEmpty() && after.isEmpty(); }
};

// The read path's direct lane: a statement with positional markers run through the engine's
// own client interface instead of QSqlQuery.
class DirectReader {
public:
    virtual ~DirectReader() = default;
    virtual FetchResult read(const QString &statement, const QVariantList &values) = 0;
    // The rows handed to `sink` as they are read; the error text on failure.
    virtual QString readEach(const QString &statement, const QVariantList &values, RowSink &sink) = 0;
    // Statements to run around the next read; a failure among them is that read's failure.
    virtual void sendWith(const AroundRead &around) = 0;
};

// The write path's direct lane: a statement with positional markers run through the engine's own
// client interface on the writing connection, inside the request's transaction, with the values
// bound as QtSql binds them. A save of thousands of rows is mostly binding: QSqlQuery's
// bookkeeping of each bound value costs more than the engine's own work on it.
class DirectWriter {
public:
    virtual ~DirectWriter() = default;
    // Runs the statement with values[0 .. count - 1]: `rows` gets the rows it changed and `first`
    // (when given) the first value of its first row as a whole number (a count). False with the
    // database's error in `error`.
    virtual bool run(const QString &statement, const QVariant *values, qsizetype count, int *rows, QVariant *first,
                     QSqlError *error) = 0;
};

class SqlEngine {
public:
    virtual ~SqlEngine() = default;
    // The engine of a database description (one shared instance each).
    static const SqlEngine &of(DatabaseDescription::Engine engine);

    virtual SqlSyntax syntax() const = 0;
    // QtSql's driver, and the name the server's methods give a workstation ("SQLITE").
    virtual QString driverName() const = 0;
    virtual QString serverDriverName() const = 0;

    // Names the database and its login on a connection not yet open; a reason not to open it
    // (a missing file), or empty.
    virtual QString configure(QSqlDatabase &db, const DatabaseDescription &description, bool readOnly) const = 0;
    // Added to the message when opening fails ("for reading, user ...").
    virtual QString openFailureDetail(const DatabaseDescription &description, bool readOnly) const = 0;
    // Statements run once right after a connection opens.
    virtual QStringList sessionSetup(const DatabaseDescription &description, bool readOnly) const = 0;
    // Run after sessionSetup: what the engine keeps beside the connection (may be null), and
    // whether each request must end with sessionReset. Empty, or the error.
    virtual QString prepareOpened(QSqlDatabase &db, const DatabaseDescription &description, bool readOnly,
                                  std::unique_ptr<ConnectionGuard> *guard, bool *resetsSession) const = 0;
    // The client library learnt that the server ended the connection.
    virtual bool isBroken(const QSqlDatabase &db) const = 0;
    virtual bool inTransaction(const QSqlDatabase &db) const = 0;
    // Stored passwords are read on the writing connection (the reading login may not see them).
    virtual bool readsCredentialsOnWriter() const = 0;

    // See SqlDialect for these.
    virtual QString beginRequest(bool readOnly, const QList<int> &companies) const = 0;
    // Where the begin of a request waits for the request's first read and travels with it (the
    // direct reader sends both in one round trip): the begin's statements one by one. Empty:
    // the begin runs when the request begins.
    virtual QStringList beginWithFirstRead(bool readOnly, const QList<int> &companies) const = 0;
    virtual QString endRequest(bool readOnly, bool commit) const = 0;
    virtual QString sessionReset(const DatabaseDescription &description, bool readOnly) const = 0;
    virtual QString tableListStatement() const = 0;
    // Name, declared type and (optionally) declared length of a table's columns; one marker: the table.
    virtual QString tableColumnsStatement() const = 0;

    virtual QList<FieldDesc> describeResult(const QSqlQuery &query) const = 0;
    // A date or date-time value as the engine stores it.
    virtual QVariant storedDateTime(const QVariant &value, bool dateOnly) const = 0;
    // "column = ?" for a date-time column, compared as instants.
    virtual QString matchesOldDateTime(const QString &column) const = 0;
    // NULL sorts after every value unless the statement is told otherwise (withNullsSmallest).
    virtual bool sortsNullsLast() const = 0;

    virtual bool isDuplicateKey(const QSqlError &error) const = 0;
    virtual bool isLockTimeout(const QSqlError &error) const = 0;
    virtual bool isLockTimeoutText(const QString &text) const = 0;
    virtual bool isAccessRefusal(const QSqlError &error) const = 0;

    // The direct reader of an open reading connection, or null: QSqlQuery reads.
    virtual std::unique_ptr<DirectReader> directReader(const QSqlDatabase &db) const = 0;
    // The direct writer of an open writing connection, or null: QSqlQuery writes.
    virtual std::unique_ptr<DirectWriter> directWriter(const QSqlDatabase &db) const
    {
        Q_UNUSED(db)
        return nullptr;
    }
};

} // namespace appserver
