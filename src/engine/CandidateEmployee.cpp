#include "engine/CandidateEmployee.h"

#include "framework/dataset/TDataSet.h"

namespace engine {

QString employeeStatement(const CompanyPosition &position)
{
    return QStringLiteral(" select a.COD_EMPR,a.COD_EMPL,a.COD_CARG,        b.APE_EMPL,b.NOM_EMPL "
                          " from NM_CONTR a, BI_EMPLE b  where a.COD_EMPR = b.COD_EMPR "
                          "   and a.COD_EMPL = b.COD_EMPL    and a.COD_EMPR = ")
        + QString::number(position.company) + QStringLiteral("   and a.COD_CARG = ") + QLatin1Char('\'') + position.code
        + QLatin1Char('\'') + QStringLiteral("   and a.IND_ACTI = ") + QStringLiteral("'A'")
        + QStringLiteral(" order by b.APE_EMPL");
}

CandidateEmployees readCandidates(TDataSet &employees)
{
    TField *codEmpl = employees.FieldByName(QStringLiteral("COD_EMPL"));
    TField *codEmpr = employees.FieldByName(QStringLiteral("COD_EMPR"));
    TField *apellidos = employees.FieldByName(QStringLiteral("APE_EMPL"));
    TField *nombres = employees.FieldByName(QStringLiteral("NOM_EMPL"));
    CandidateEmployees rows;
    rows.reserve(employees.RecordCount());
    if (!employees.IsEmpty())
        employees.First();
    while (!employees.Eof()) {
        rows.append({codEmpl->AsVariant(), codEmpl->AsFloat(), codEmpl->AsString(),
                     apellidos->AsString(), nombres->AsString(), codEmpr->AsInteger()});
        employees.Next();
    }
    return rows;
}

} // namespace engine
