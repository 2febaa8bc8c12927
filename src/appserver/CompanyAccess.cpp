#include "appserver/CompanyAccess.h"

#include <algorithm>

namespace appserver {

namespace {

// A company code as a client sends it: a whole number, possibly as text or as a float.
bool toCompany(const QVariant &value, int *company)
{
    bool ok = false;
    const double number = value.toString().trimmed().toDouble(&ok);
    if (!ok || number != double(int(number)))
        return false;
    *company = int(number);
    return true;
}

} // namespace

CompanyAccess::CompanyAccess(QString user, QSet<int> allowed, QHash<int, QString> names)
    : m_user(std::move(user)), m_allowed(std::move(allowed)), m_names(std::move(names)),
      m_allowedList(m_allowed.cbegin(), m_allowed.cend())
{
    m_allowedList.removeAll(0);
    std::sort(m_allowedList.begin(), m_allowedList.end());
}

bool CompanyAccess::mayUse(int company) const
{
    return company == 0 || m_allowed.contains(company);
}

QString CompanyAccess::refusal(const QString &company) const
{
    bool number = false;
    const QString name = m_names.value(company.toInt(&number));
    return number && !name.isEmpty()
        ? QStringLiteral("El usuario %1 no tiene acceso a la empresa %2 (%3).").arg(m_user, company, name)
        : QStringLiteral("El usuario %1 no tiene acceso a la empresa %2.").arg(m_user, company);
}

QString CompanyAccess::checkCompany(int company) const
{
    return mayUse(company) ? QString() : refusal(QString::number(company));
}

QString CompanyAccess::checkValue(const QVariant &value) const
{
    if (value.isNull())
        return {};
    int company = 0;
    if (!toCompany(value, &company))
        return refusal(value.toString());
    return knows(company) ? checkCompany(company) : QString();
}

bool CompanyAccess::isCompanyColumn(const QString &name)
{
    return name.compare(QLatin1String("COD_EMPR"), Qt::CaseInsensitive) == 0;
}

QString CompanyAccess::checkWritten(const QVariant &value) const
{
    if (value.isNull())
        return {};
    int company = 0;
    return toCompany(value, &company) ? checkCompany(company) : refusal(value.toString());
}

QString CompanyAccess::checkApply(const ApplyRequest &request) const
{
    for (const RowDelta &delta : request.deltas) {
        for (const QVariantMap *values : {&delta.oldValues, &delta.newValues}) {
            for (auto it = values->cbegin(); it != values->cend(); ++it) {
                if (!isCompanyColumn(it.key()))
                    continue;
                if (const QString refused = checkWritten(it.value()); !refused.isEmpty())
                    return refused;
            }
        }
    }
    return {};
}

} // namespace appserver
