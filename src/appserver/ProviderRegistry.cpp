#include "ProviderRegistry.h"

#include <QList>

namespace appserver {

namespace {

const QStringList kPlanKey{QStringLiteral("COD_EMPR"), QStringLiteral("COD_MENU"),
                           QStringLiteral("COD_NODO")};
const QStringList kReplacementKey{QStringLiteral("COD_EMPR"), QStringLiteral("COD_MENU"),
                                  QStringLiteral("COD_NODO"), QStringLiteral("COD_EMPL")};

// An employee's records of one kind, oldest first.
QString employeeRecords(const char *table)
{
    return QStringLiteral("SELECT COD_EMPR, COD_EMPL, NUM_REGI, TIP_REGI, COD_REQU, COD_ESPE,\n"
                          "       PUN_OBTE, DES_REGI, FEC_REGI\n"
                          "FROM %1\n"
                          "WHERE COD_EMPR = :COD_EMPR AND COD_EMPL = :COD_EMPL\n"
                          "ORDER BY NUM_REGI")
        .arg(QLatin1String(table));
}

// The company's own flag row wins over the country-wide row (company 0).
const QString kFeatureFlag = QStringLiteral(
    "SELECT VAL_VARI, TIP_DATO\n"
    "FROM GN_NEXOF\n"
    "WHERE COD_VARI = :PCODVARI AND COD_PAIS = :PCODPAIS AND COD_EMPR IN (:PCODEMPR, 0)\n"
    "ORDER BY COD_EMPR DESC\n"
    "LIMIT 1");

const QStringList kNoteKey{QStringLiteral("NOM_FORM"), QStringLiteral("COD_EMPR"), QStringLiteral("VAL_LLAV"),
                           QStringLiteral("NUM_NOTA")};

// The notes of one record of a form, in the order they were written.
const QString kNotes = QStringLiteral(
    "SELECT NOM_FORM, COD_EMPR, VAL_LLAV, NUM_NOTA, TIP_NOTA, TXT_NOTA, ACT_USUA, ACT_HORA\n"
    "FROM GN_NOTAS\n"
    "WHERE NOM_FORM = :NOM_FORM AND COD_EMPR = :COD_EMPR AND VAL_LLAV = :VAL_LLAV\n"
    "ORDER BY NUM_NOTA");

const QString kCompanies = QStringLiteral(
    "SELECT COD_EMPR, NOM_EMPR, GRU_EMPR, COD_PAIS\n"
    "FROM GN_EMPRE\n"
    "WHERE COD_EMPR > 0\n"
    "ORDER BY COD_EMPR");

const QList<ProviderDef> &catalogue()
{
    static const QList<ProviderDef> providers{
        {QStringLiteral("DtsPAcPprom"), QStringLiteral("AC_PPROM"), kPlanKey, {}},
        {QStringLiteral("DtsPAcCuare"), QStringLiteral("AC_CUARE"), kReplacementKey, {}},
        {QStringLiteral("DtsPBiCargo"), {}, {}, {}},
        {QStringLiteral("DtsPGrafico"), {}, {}, {}},
        {QStringLiteral("DtsPSecuencial"), {}, {}, {}},
        {QStringLiteral("DtsPEmpleado"), {}, {}, {}},
        {QStringLiteral("DtsPCargo"), {}, {}, {}},
        {QStringLiteral("DtsPAcNivel"), {}, {}, {}},
        {QStringLiteral("DtsPNmContr"), {}, {}, {}},
        {QStringLiteral("DtsPBiDtpca"), {}, {}, {}},
        {QStringLiteral("DtsPBiDtpef"), {}, {}, employeeRecords("BI_DTPEF")},
        {QStringLiteral("DtsPBiDtpnf"), {}, {}, employeeRecords("BI_DTPNF")},
        {QStringLiteral("DtsPBidtphv"), {}, {}, employeeRecords("BI_DTPHV")},
        {QStringLiteral("DtsPEd3licc"), {}, {}, {}},
        {QStringLiteral("DtsPEd3dlcc"), {}, {}, {}},
        {QStringLiteral("DtsPTmEmple"), {}, {}, {}},
        {QStringLiteral("DtsPGnEmpre"), {}, {}, {}},
        {QStringLiteral("DtsPNmConCa"), {}, {}, {}},
        {QStringLiteral("DtsPEmpCarg"), {}, {}, {}},
        {QStringLiteral("DtsPValNodo"), {}, {}, {}},
        {QStringLiteral("DtsPGnNexof"), {}, {}, kFeatureFlag},
        {QStringLiteral("DtsPTemporal"), {}, {}, {}},
        {QStringLiteral("DtsPGnEmpreFrm"), {}, {}, kCompanies},
        {QStringLiteral("DtsPGnNotas"), QStringLiteral("GN_NOTAS"), kNoteKey, kNotes},
    };
    return providers;
}

} // namespace

const ProviderDef *ProviderRegistry::find(const QString &name)
{
    for (const ProviderDef &def : catalogue()) {
        if (def.name.compare(name, Qt::CaseInsensitive) == 0)
            return &def;
    }
    return nullptr;
}

QStringList ProviderRegistry::names()
{
    QStringList result;
    for (const ProviderDef &def : catalogue())
        result << def.name;
    return result;
}

} // namespace appserver
