#pragma once
// Which companies one user may work with, as GN_USEMP grants them, and the checks that the
// application server makes with it before and after a provider runs: the session's company, the
// company parameters of a fetch, company numbers written into a client's statement, the rows a
// fetch returns and the rows an apply touches. Company 0 holds the rows that belong to no
// company (country-wide flags, placeholders the client filters hide) and is open to everyone.
// A user without any grant may use no company.

#include "Protocol.h"
#include "SqlMask.h"

#include <QHash>
#include <QSet>
#include <QString>

namespace appserver {

class CompanyAccess {
public:
    CompanyAccess() = default;
    // names: every known company by code (for the messages); allowed: the user's grants.
    CompanyAccess(QString user, QSet<int> allowed, QHash<int, QString> names);

    const QString &user() const { return m_user; }
    bool mayUse(int company) const;
    // Whether the company exists at all.
    bool knows(int company) const { return m_names.contains(company); }

    // Each returns empty when the request keeps to the user's companies, else the refusal.
    QString checkCompany(int company) const;
    QString checkFetch(const FetchRequest &request, const QString &statement, SqlSyntax syntax) const;
    QString checkApply(const ApplyRequest &request) const;

    // Hands on to `target` only the rows of the user's companies (of a result that has a
    // COD_EMPR column; all rows otherwise).
    class RowFilter : public RowSink {
    public:
        RowFilter(const CompanyAccess &access, RowSink &target) : m_access(access), m_target(target) {}
        void fields(const QList<FieldDesc> &fields) override;
        void row(const RowCells &cells) override;

    private:
        const CompanyAccess &m_access;
        RowSink &m_target;
        QList<int> m_columns;   // the company columns
    };

    // Whether a parameter's name says that it carries a company code.
    static bool isCompanyParameter(const QString &name);
    // Company numbers that a statement compares COD_EMPR with as written text.
    static QList<int> literalCompanies(const QString &statement, SqlSyntax syntax);

private:
    QString refusal(const QString &company) const;

    QString m_user;
    QSet<int> m_allowed;
    QHash<int, QString> m_names;
};

} // namespace appserver
