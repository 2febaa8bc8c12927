#include "framework/dataset/CompanyCountry.h"

#include "framework/Exceptions.h"
#include "framework/dataset/TDataSet.h"

int companyCountryCode(TDataSet &companies, int company)
{
    if (!companies.Active())
        companies.Open();
    const QString key = QStringLiteral("COD_EMPR");
    if (companies.Lookup(key, company, key).isNull())
        throw Exception(QStringLiteral("La empresa %1 no existe.").arg(company));
    return companies.Lookup(key, company, QStringLiteral("COD_PAIS")).toInt();
}
