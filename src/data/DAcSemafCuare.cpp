// The data module's rules for replacement rows (QryAcCuare): defaults, the employee's name,
// position and age, and the checks of the employee and the position typed into a row.

#include "DAcSemaf.h"

#include "Exceptions.h"
#include "TDtmGnLibre.h"
#include "Ugnnorma.h"

#include <QDateTime>

namespace {

TField *campo(TDataSet *dataSet, const char *nombre)
{
    return dataSet->FieldByName(QLatin1String(nombre));
}

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
    campo(DataSet, "COD_EMPR")->setAsInteger(empresaActual());
    campo(DataSet, "ACT_USUA")->setAsString(gStCodiUsua);
    campo(DataSet, "ACT_HORA")->setAsDateTime(QDateTime::currentDateTime());
    campo(DataSet, "ACT_ESTA")->setAsString(QStringLiteral("A"));
    campo(DataSet, "JEF_DEPE")->setAsString(QStringLiteral("N"));
    campo(DataSet, "COD_NODO")->setAsVariant(campo(&QryAcPprom, "COD_NODO")->AsVariant());
    campo(DataSet, "COD_MENU")->setAsVariant(campo(&QryAcPprom, "COD_MENU")->AsVariant());
}

void TDtmAcSemaf::QryAcCuareCalcFields(TDataSet *DataSet)
{
    if (!QryEmpleado.Active())
        DtmGnLibre->ReConsultar(&QryEmpleado, {empresaActual()});
    if (!QryBiCargo.Active())
        QryBiCargo.Open();

    if (QryEmpleado.Locate(QStringLiteral("cod_empl"), campo(DataSet, "COD_EMPL")->AsVariant())) {
        ponerNombreEmpleado(&QryEmpleado, DataSet);
        TField *nacimiento = campo(&QryEmpleado, "fec_naci");
        if (!nacimiento->IsNull())
            campo(DataSet, "DtfEdad")->setAsInteger(edadEnAnios(nacimiento->AsDateTime()));
    }
    if (QryBiCargo.Locate(QStringLiteral("cod_empr;cod_carg"),
                          QVariantList{campo(DataSet, "COD_EMPR")->AsVariant(),
                                       campo(DataSet, "COD_CARG")->AsVariant()}))
        campo(DataSet, "DtfNmbCargo")->setAsString(campo(&QryBiCargo, "nom_carg")->AsString().trimmed());
}

// Given names, one blank, surnames.
void TDtmAcSemaf::ponerNombreEmpleado(TDataSet *empleados, TDataSet *DataSet)
{
    campo(DataSet, "DtfNmbEmpleado")
        ->setAsString(campo(empleados, "nom_empl")->AsString().trimmed() + QLatin1Char(' ')
                      + campo(empleados, "ape_empl")->AsString().trimmed());
}

void TDtmAcSemaf::QryAcCuareCOD_EMPLValidate(TField *Sender)
{
    if (Sender->IsNull())
        return;
    if (!QryEmpleado.Active())
        DtmGnLibre->ReConsultar(&QryEmpleado, {empresaActual()});
    if (!QryEmpleado.Locate(QStringLiteral("cod_empl"), Sender->AsVariant()))
        throw Exception(QStringLiteral("Identificación NO existe en la Base de Datos!!!"));
    TDataSet *fila = Sender->DataSet();
    ponerNombreEmpleado(&QryEmpleado, fila);
    // The position of the employee's active contract; its own check may refuse it, and with it
    // this identification.
    campo(fila, "COD_CARG")->setAsVariant(campo(&QryEmpleado, "cod_carg")->AsVariant());
}

void TDtmAcSemaf::QryAcCuareCOD_CARGValidate(TField *Sender)
{
    if (Sender->IsNull())
        return;
    if (!QryBiCargo.Active())
        QryBiCargo.Open();
    TDataSet *fila = Sender->DataSet();
    if (!QryBiCargo.Locate(QStringLiteral("cod_empr;cod_carg"),
                           QVariantList{campo(fila, "COD_EMPR")->AsVariant(), Sender->AsVariant()}))
        throw Exception(QStringLiteral("Código de Cargo NO existe en la Base de Datos!!!"));
    campo(fila, "DtfNmbCargo")->setAsString(campo(&QryBiCargo, "nom_carg")->AsString().trimmed());
}

void TDtmAcSemaf::QryAcCuareBeforePost(TDataSet *)
{
    gVrCodMenu = QVariant();
}
