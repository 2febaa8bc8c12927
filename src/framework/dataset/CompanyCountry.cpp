#include "CompanyCountry.h"

#include "Exceptions.h"
#include "TDataSet.h"

int companyCountryCode(TDataSet &companies, int company)
{
    if (!companies.Active())
        companies.Open();
    const QString key = QStringLiteral("COD_EMPR");
    if (companies.Lookup(key, company, key).isNull())
        throw Exception(QStringLiteral("La empresa %1 no existe.").arg(company));
    return companies.Lookup(key, company, QStringLiteral("COD_PAIS")).toInt();
}
