#pragma once
// The SQLite file: opened read-only (or as an immutable file in a folder nobody may write, or in
// WAL mode) for reading, guarded by SqliteReadAuthorizer, read through SqliteReader; dates kept as ISO text.

#include "appserver/SqlEngine.h"

namespace appserver {

class SqliteEngine : public SqlEngine {
public:
    SqlSyntax syntax() const override { return SqlSyntax::Sqlite; }
    QString driverName() const override { return QStringLiteral("QSQLITE"); }
    QString serverDriverName() const override { return QStringLiteral("SQLITE"); }

    QString configure(QSqlDatabase &db, const DatabaseDescription &description, bool readOnly) const override;
    // Whether the file's header says it is in WAL mode (another program's, or one of ours from
    // before migrations moved the files to the rollback journal). A read-only connection would
    // leave -wal and -shm files beside such a file, so it is read as a file that cannot change.
    static bool journalsInWal(const QString &filePath);
    QString openFailureDetail(const DatabaseDescription &, bool) const override { return {}; }
    // LIKE compares as typed, as it does on PostgreSQL: a search that ignores case says so
    // (UPPER on both sides).
    QStringList sessionSetup(const DatabaseDescription &, bool) const override
    {
        return {QStringLiteral("PRAGMA case_sensitive_like = ON")};
    }
    QString prepareOpened(QSqlDatabase &db, const DatabaseDescription &description, bool readOnly,
                          std::unique_ptr<ConnectionGuard> *guard, bool *resetsSession) const override;
    bool isBroken(const QSqlDatabase &) const override { return false; }
    bool inTransaction(const QSqlDatabase &db) const override;
    bool readsCredentialsOnWriter() const override { return false; }

    QString beginRequest(bool readOnly, const QList<int> &companies) const override;
    QStringList beginWithFirstRead(bool, const QList<int> &) const override { return {}; }
    QString endRequest(bool readOnly, bool commit) const override;
    QString sessionReset(const DatabaseDescription &, bool) const override { return {}; }
    QString tableListStatement() const override;
    QString tableColumnsStatement() const override;

    QList<FieldDesc> describeResult(const QSqlQuery &query) const override;
    QVariant storedDateTime(const QVariant &value, bool dateOnly) const override;
    QString matchesOldDateTime(const QString &column) const override;
    bool sortsNullsLast() const override { return false; }

    bool isDuplicateKey(const QSqlError &error) const override;
    bool isLockTimeout(const QSqlError &error) const override;
    bool isLockTimeoutText(const QString &text) const override;
    bool isAccessRefusal(const QSqlError &) const override { return false; }

    std::unique_ptr<DirectReader> directReader(const QSqlDatabase &db) const override;
    std::unique_ptr<DirectWriter> directWriter(const QSqlDatabase &db) const override;
};

} // namespace appserver
