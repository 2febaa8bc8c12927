#pragma once
// Everything that differs between SQLite and PostgreSQL, in one place: how connections are
// opened and made read-only, transaction statements, column types of results and tables, how
// values are written and read, how an old value is matched and how a duplicate key is reported.
// Provider statements themselves are written once, in SQL both engines accept.

#include "appserver/DatabaseDescription.h"
#include "appserver/ProtocolNames.h"
#include "protocol/SqlMask.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlDatabase;
class QSqlError;
class QSqlQuery;

namespace appserver {

// A column of a real table.
struct ColumnInfo {
    QString name;            // as the database spells it
    FieldType type = FieldType::Unknown;
    int size = 0;
    bool dateOnly = false;   // a date without time of day
};

class SqlDialect {
public:
    using Engine = DatabaseDescription::Engine;
    explicit SqlDialect(Engine engine) : m_engine(engine) {}

    Engine engine() const { return m_engine; }
    SqlSyntax syntax() const { return m_engine == Engine::Sqlite ? SqlSyntax::Sqlite : SqlSyntax::Postgres; }
    QString driverName() const;
    QString connectOptions(const DatabaseDescription &description, bool readOnly) const;
    // Statements run once right after a connection opens.
    QStringList sessionSetup(const DatabaseDescription &description, bool readOnly) const;

    // The transaction of one request (SqlConnection::beginRequest): read-only on a reading
    // connection; on PostgreSQL it names the companies whose rows the request may reach (row
    // security lets through only those and company 0). Empty: no transaction (SQLite's reader).
    QString beginRequest(bool readOnly, const QList<int> &companies) const;
    QString endRequest(bool readOnly, bool commit) const;
    // Run after each request on a PostgreSQL connection whose login may still change its own
    // settings (the database was set up without a superuser): puts the session back as
    // sessionSetup left it.
    QString sessionReset(const DatabaseDescription &description, bool readOnly) const;
    // The setting that row security reads the request's companies from.
    static QString companySetting() { return QStringLiteral("qacsemaf.empresas"); }

    // A fetch inside a request's transaction: a savepoint on PostgreSQL, so that its statement
    // can fail without the request having to guess what is left; empty: the engine needs none.
    QString beginRead() const;
    QString endRead() const;
    // One column: the names of the tables the connection sees.
    QString tableListStatement() const;

    QList<FieldDesc> describeResult(const QSqlQuery &query) const;
    // Empty when the table does not exist; error gets the database's message on failure.
    QList<ColumnInfo> tableColumns(QSqlDatabase &db, const QString &table, QString *error) const;

    // Value to bind for a parameter or column of the given type; false when it does not
    // convert (the value is then left as given).
    bool toDatabase(const QVariant &value, FieldType type, bool dateOnly, QVariant *out) const;
    // A value read from the database, in the form the type promises the client (a date-time
    // column gives QDateTime, or QDate for a value without time of day).
    static QVariant fromDatabase(const QVariant &value, FieldType type);

    // "column = ?" or its equivalent that compares what the client read with what is stored.
    QString matchesOldValue(const ColumnInfo &column) const;
    bool isDuplicateKey(const QSqlError &error) const;
    // Another connection held the row or the database longer than the lock timeout allows.
    bool isLockTimeout(const QSqlError &error) const;
    bool isLockTimeoutText(const QString &text) const;
    // The database refused the row or the object to the login (row security, a revoked grant).
    bool isAccessRefusal(const QSqlError &error) const;

    // Type named by a declared column type ("smallint", "varchar(80)", "double precision").
    static FieldType typeFromDeclared(const QString &declared, int *size);

private:
    Engine m_engine;
};

} // namespace appserver
