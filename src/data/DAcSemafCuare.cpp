// The data module's rules for replacement rows (QryAcCuare): defaults, the employee's name,
// position and age, and the checks of the employee and the position typed into a row.

#include "data/DAcSemaf.h"

#include "framework/Exceptions.h"
#include "framework/dataset/TDtmGnLibre.h"

#include <QDateTime>

namespace {

// Whole years as 365-day spans from the date of birth to today; leap days are not counted.
int edadEnAnios(const QDateTime &nacimiento)
{
    qint64 dias = nacimiento.date().daysTo(QDate::currentDate());
    // A time of day makes the span a fraction short of whole days; the fraction is dropped.
    if (nacimiento.time() != QTime(0, 0) && dias > 0)
        --dias;
    return int(dias / 365);
}

} // namespace

void TDtmAcSemaf::QryAcCuareNewRecord(TDataSet *DataSet)
{
    DataSet->FieldByName(QStringLiteral("COD_EMPR"))->setAsInteger(currentCompany());
    DataSet->FieldByName(QStringLiteral("ACT_USUA"))->setAsString(CodiUsua());
    DataSet->FieldByName(QStringLiteral("ACT_HORA"))->setAsDateTime(QDateTime::currentDateTime());
    DataSet->FieldByName(QStringLiteral("ACT_ESTA"))->setAsString(QStringLiteral("A"));
    DataSet->FieldByName(QStringLiteral("JEF_DEPE"))->setAsString(QStringLiteral("N"));
    DataSet->FieldByName(QStringLiteral("COD_NODO"))->setAsVariant(QryAcPprom.FieldByName(QStringLiteral("COD_NODO"))->AsVariant());
    DataSet->FieldByName(QStringLiteral("COD_MENU"))->setAsVariant(QryAcPprom.FieldByName(QStringLiteral("COD_MENU"))->AsVariant());
}

void TDtmAcSemaf::QryAcCuareCalcFields(TDataSet *DataSet)
{
    if (!QryEmpleado.Active())
        DtmGnLibre->ReConsultar(&QryEmpleado, {currentCompany()});
    if (!QryBiCargo.Active())
        QryBiCargo.Open();

    if (QryEmpleado.Locate(QStringLiteral("cod_empl"), DataSet->FieldByName(QStringLiteral("COD_EMPL"))->AsVariant())) {
        ponerNombreEmpleado(&QryEmpleado, DataSet);
        TField *nacimiento = QryEmpleado.FieldByName(QStringLiteral("fec_naci"));
        if (!nacimiento->IsNull())
            DataSet->FieldByName(QStringLiteral("DtfEdad"))->setAsInteger(edadEnAnios(nacimiento->AsDateTime()));
    }
    if (QryBiCargo.Locate(QStringLiteral("cod_empr;cod_carg"),
                          QVariantList{DataSet->FieldByName(QStringLiteral("COD_EMPR"))->AsVariant(),
                                       DataSet->FieldByName(QStringLiteral("COD_CARG"))->AsVariant()}))
        DataSet->FieldByName(QStringLiteral("DtfNmbCargo"))->setAsString(QryBiCargo.FieldByName(QStringLiteral("nom_carg"))->AsString().trimmed());
}

// Given names, one blank, surnames.
void TDtmAcSemaf::ponerNombreEmpleado(TDataSet *empleados, TDataSet *DataSet)
{
    DataSet->FieldByName(QStringLiteral("DtfNmbEmpleado"))
        ->setAsString(empleados->FieldByName(QStringLiteral("nom_empl"))->AsString().trimmed() + QLatin1Char(' ')
                      + empleados->FieldByName(QStringLiteral("ape_empl"))->AsString().trimmed());
}

void TDtmAcSemaf::QryAcCuareCOD_EMPLValidate(TField *Sender)
{
    if (Sender->IsNull())
        return;
    if (!QryEmpleado.Active())
        DtmGnLibre->ReConsultar(&QryEmpleado, {currentCompany()});
    if (!QryEmpleado.Locate(QStringLiteral("cod_empl"), Sender->AsVariant()))
        throw Exception(QStringLiteral("Identificación NO existe en la Base de Datos!!!"));
    TDataSet *fila = Sender->DataSet();
    ponerNombreEmpleado(&QryEmpleado, fila);
    // The position of the employee's active contract; its own check may refuse it, and with it
    // this identification.
    fila->FieldByName(QStringLiteral("COD_CARG"))->setAsVariant(QryEmpleado.FieldByName(QStringLiteral("cod_carg"))->AsVariant());
}

void TDtmAcSemaf::QryAcCuareCOD_CARGValidate(TField *Sender)
{
    if (Sender->IsNull())
        return;
    if (!QryBiCargo.Active())
        QryBiCargo.Open();
    TDataSet *fila = Sender->DataSet();
    if (!QryBiCargo.Locate(QStringLiteral("cod_empr;cod_carg"),
                           QVariantList{fila->FieldByName(QStringLiteral("COD_EMPR"))->AsVariant(), Sender->AsVariant()}))
        throw Exception(QStringLiteral("Código de Cargo NO existe en la Base de Datos!!!"));
    fila->FieldByName(QStringLiteral("DtfNmbCargo"))->setAsString(QryBiCargo.FieldByName(QStringLiteral("nom_carg"))->AsString().trimmed());
}

QString TDtmAcSemaf::sinEmpleadoMessage()
{
    return QStringLiteral("Indique la identificación del empleado.");
}

void TDtmAcSemaf::QryAcCuareBeforePost(TDataSet *DataSet)
{
    // Refused here, in the user's words, before the database's own refusal of an empty key.
    if (DataSet->FieldByName(QStringLiteral("COD_EMPL"))->IsNull())
        throw Exception(sinEmpleadoMessage());
    gVrCodMenu = QVariant();
}
