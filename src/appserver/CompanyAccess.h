#pragma once
// Which companies one user may work with, as GN_USEMP grants them, and the checks that the
// application server makes with it: the session's company, the company values of a fetch (the
// parameters and slots its registered statement declares as companies), the companies a fetch's
// rows are kept to, and the rows an apply touches. Company 0 holds the rows that belong to no
// company (country-wide flags, placeholders the client filters hide) and is open to everyone.
// A user without any grant may use no company.

#include "appserver/ProtocolNames.h"

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
    // A company as a workstation sends it (a number, possibly as text or a float). One that
    // does not exist passes: it has no rows, and the call that names it says it is missing.
    QString checkValue(const QVariant &company) const;
    // The company values of the request's deltas as the client sent them (a block of new rows
    // is the ApplyHandler's to check, on its values as bound).
    QString checkApply(const ApplyRequest &request) const;
    // A company value a save writes or matches (null: none).
    QString checkWritten(const QVariant &company) const;
    // The column that names a row's company.
    static bool isCompanyColumn(const QString &name);
    // The user's companies, in order (company 0 is not among them).
    const QList<int> &allowedList() const { return m_allowedList; }

private:
    QString refusal(const QString &company) const;

    QString m_user;
    QSet<int> m_allowed;
    QHash<int, QString> m_names;
    QList<int> m_allowedList;   // m_allowed in order, without company 0
};

} // namespace appserver
