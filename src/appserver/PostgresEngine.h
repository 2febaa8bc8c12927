#pragma once
// The shared PostgreSQL database: fetches log in as the reading role in read-only transactions
// that name the request's companies for row security; applies act as the writing role; errors
// are told apart by their SQLSTATE.

#include "appserver/SqlEngine.h"

namespace appserver {

class PostgresEngine : public SqlEngine {
public:
    SqlSyntax syntax() const override { return SqlSyntax::Postgres; }
    QString driverName() const override { return QStringLiteral("QPSQL"); }
    QString serverDriverName() const override { return QStringLiteral("POSTGRES"); }

    QString configure(QSqlDatabase &db, const DatabaseDescription &description, bool readOnly) const override;
    QString openFailureDetail(const DatabaseDescription &description, bool readOnly) const override;
    QStringList sessionSetup(const DatabaseDescription &description, bool readOnly) const override;
    QString prepareOpened(QSqlDatabase &db, const DatabaseDescription &description, bool readOnly,
                          std::unique_ptr<ConnectionGuard> *guard, bool *resetsSession) const override;
    bool isBroken(const QSqlDatabase &db) const override;
    bool inTransaction(const QSqlDatabase &db) const override;
    bool readsCredentialsOnWriter() const override { return true; }

    QString beginRequest(bool readOnly, const QList<int> &companies) const override;
    QStringList beginWithFirstRead(bool readOnly, const QList<int> &companies) const override;
    QString endRequest(bool, bool commit) const override;
    QString sessionReset(const DatabaseDescription &description, bool readOnly) const override;
    QString tableListStatement() const override;
    QString tableColumnsStatement() const override;

    QList<FieldDesc> describeResult(const QSqlQuery &query) const override;
    QVariant storedDateTime(const QVariant &value, bool) const override { return value; }
    QString matchesOldDateTime(const QString &column) const override;
    bool sortsNullsLast() const override { return true; }

    bool isDuplicateKey(const QSqlError &error) const override;
    bool isLockTimeout(const QSqlError &error) const override;
    bool isLockTimeoutText(const QString &text) const override;
    bool isAccessRefusal(const QSqlError &error) const override;

    std::unique_ptr<DirectReader> directReader(const QSqlDatabase &db) const override;

    // The field type of a result column of type `oid`.
    static FieldType fieldTypeOfOid(int oid);
};

} // namespace appserver
