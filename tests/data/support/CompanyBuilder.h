#pragma once
// An empty database with the suite's schema, filled with exactly the rows a case needs.

#include "framework/Session.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

class CompanyBuilder {
public:
    CompanyBuilder();
    ~CompanyBuilder();

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString path() const { return m_path; }

    // With ADMIN, the categories (EF FO,PG; EN CU,SE; EP EX; CO; CF; CE) and the flag row.
    void company(int code, const QString &flag = QStringLiteral("N"));
    void category(int company, const QString &category, const QString &recordType);
    void position(int company, const QString &code, const QString &name);
    void profileRow(int company, const QString &position, const QString &type, const QVariant &requirement,
                    const QVariant &detail, const QVariant &points);
    void employee(int company, double code, const QString &surnames, const QString &names);
    void contract(int company, double employee, int number, const QString &position, bool active = true);
    // table: BI_DTPEF, BI_DTPNF or BI_DTPHV.
    void record(const QString &table, int company, double employee, const QString &type,
                const QVariant &requirement, const QVariant &detail, const QVariant &points);
    void evaluation(int company, double employee, int number, const QString &date);
    void evaluationLine(int company, int evaluation, const QString &recordType, const QVariant &requirement,
                        const QVariant &detail, const QVariant &points);
    void planNode(int company, int plan, int node, int parent, int positionCompany, const QString &position);

    // Commits what was written; false (with error()) when a row was refused.
    bool commit();
    // The session of the user ADMIN in `company` over this file.
    Session session(int company) const;

private:
    // columns: their names separated by commas, one for each of `values`.
    void insert(const QString &table, const QString &columns, const QVariantList &values);

    QTemporaryDir m_dir;
    QString m_path;
    QString m_connection;
    QString m_error;
    QHash<QString, int> m_serials;
    QHash<QString, QSqlQuery> m_statements;
};
