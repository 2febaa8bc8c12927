#pragma once
// What the server core asks of the database beyond the provider statements (which are written
// once, in SQL every engine accepts): request and read framing, column types of results and
// tables, how values are written and read, how an old value is matched and how errors are told
// apart. What differs between engines is the SqlEngine's; this is the part they share.

#include "appserver/DatabaseDescription.h"
#include "appserver/ProtocolNames.h"
#include "appserver/SqlEngine.h"
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
    explicit SqlDialect(Engine engine) : m_kind(engine), m_engine(&SqlEngine::of(engine)) {}

    Engine engine() const { return m_kind; }
    const SqlEngine &sqlEngine() const { return *m_engine; }
    SqlSyntax syntax() const { return m_engine->syntax(); }
    QString driverName() const { return m_engine->driverName(); }
    // Statements run once right after a connection opens.
    QStringList sessionSetup(const DatabaseDescription &description, bool readOnly) const
    {
        return m_engine->sessionSetup(description, readOnly);
    }

    // The transaction of one request (SqlConnection::beginRequest): read-only on a reading
    // connection; where the engine has row security, it names the companies whose rows the
    // request may reach (those and company 0). Empty: no transaction (SQLite's reader).
    QString beginRequest(bool readOnly, const QList<int> &companies) const
    {
        return m_engine->beginRequest(readOnly, companies);
    }
    QString endRequest(bool readOnly, bool commit) const { return m_engine->endRequest(readOnly, commit); }
    // Run after each request on a connection whose login may still change its own settings
    // (a PostgreSQL database set up without a superuser): puts the session back as sessionSetup left it.
    QString sessionReset(const DatabaseDescription &description, bool readOnly) const
    {
        return m_engine->sessionReset(description, readOnly);
    }
    // The setting that row security reads the request's companies from.
    static QString companySetting() { return QStringLiteral("qacsemaf.empresas"); }

    // One column: the names of the tables the connection sees.
    QString tableListStatement() const { return m_engine->tableListStatement(); }

    QList<FieldDesc> describeResult(const QSqlQuery &query) const { return m_engine->describeResult(query); }
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
    bool isDuplicateKey(const QSqlError &error) const { return m_engine->isDuplicateKey(error); }
    // Another connection held the row or the database longer than the lock timeout allows.
    bool isLockTimeout(const QSqlError &error) const { return m_engine->isLockTimeout(error); }
    bool isLockTimeoutText(const QString &text) const { return m_engine->isLockTimeoutText(text); }
    // The database refused the row or the object to the login (row security, a revoked grant).
    bool isAccessRefusal(const QSqlError &error) const { return m_engine->isAccessRefusal(error); }

    // Type named by a declared column type ("smallint", "varchar(80)", "double precision").
    static FieldType typeFromDeclared(const QString &declared, int *size);

private:
    Engine m_kind;
    const SqlEngine *m_engine;
};

} // namespace appserver
