#include "engine/CandidateEmployee.h"

#include "engine/GenerationDataSets.h"
#include "framework/dataset/SClientDataSet.h"

#include <QLocale>

namespace engine {

void useHoldersStatement(const GenerationDataSets &dataSets, SClientDataSet &employees, const CompanyPosition &position)
{
    dataSets.useStatement(employees, QStringLiteral("EmpleadosCargo"),
                          {{QStringLiteral("empresa"), position.company}, {QStringLiteral("cargo"), position.code}});
}

std::optional<double> valueOfCodeText(const QString &text)
{
    // Up to fifteen digits are a whole number a double holds exactly (the usual code): read
    // without the locale's parser, which costs more than the rest of the check.
    if (!text.isEmpty() && text.size() <= 15) {
        qint64 whole = 0;
        bool digits = true;
        for (const QChar c : text) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                digits = false;
                break;
            }
            whole = whole * 10 + (c.unicode() - '0');
        }
        if (digits)
            return double(whole);
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
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
