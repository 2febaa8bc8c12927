#include "ProviderRegistry.h"

#include <QList>

namespace appserver {

namespace {

const QStringList kPlanKey{QStringLiteral("COD_EMPR"), QStringLiteral("COD_MENU"),
                           QStringLiteral("COD_NODO")};
const QStringList kReplacementKey{QStringLiteral("COD_EMPR"), QStringLiteral("COD_MENU"),
                                  QStringLiteral("COD_NODO"), QStringLiteral("COD_EMPL")};

// The active holders of one position; an employee with two such contracts is listed once.
const QString kHolders = QStringLiteral(
    "SELECT COD_EMPL FROM NM_CONTR\n"
    "                   WHERE COD_EMPR = :EMPRESA AND COD_CARG = :CARGO AND IND_ACTI = 'A'");

// The records of one kind: one employee's, oldest first, or those of every active holder of
// one position at once (generation reads them so), by employee and then oldest first. One
// definition for both, so the two reads cannot drift apart. The holders' read carries only what
// scoring compares and adds (it is the largest answer a workstation asks for); its order is the
// table's key, so no two of its rows tie.
QString categoryRecords(const char *table, bool holders)
{
    return QStringLiteral("SELECT %4\n"
                          "FROM %1\n"
                          "WHERE %2\n"
                          "ORDER BY %3")
        .arg(QLatin1String(table),
             holders ? QStringLiteral("COD_EMPR = :EMPRESA AND COD_EMPL IN (%1)").arg(kHolders)
                     : QStringLiteral("COD_EMPR = :COD_EMPR AND COD_EMPL = :COD_EMPL"),
             holders ? QStringLiteral("COD_EMPL, NUM_REGI") : QStringLiteral("NUM_REGI"),
             holders ? QStringLiteral("COD_EMPL, TIP_REGI, COD_REQU, COD_ESPE, PUN_OBTE")
                     : QStringLiteral("COD_EMPR, COD_EMPL, NUM_REGI, TIP_REGI, COD_REQU, COD_ESPE,\n"
                                      "       PUN_OBTE, DES_REGI, FEC_REGI"));
}

// The lines of each holder's latest competence evaluation (every evaluation of that date), as
// the competence dataset selects them for one employee: the latest date is looked up per
// evaluation through the (company, employee, date) index, and the evaluations are read first
// (CROSS JOIN keeps that order), each followed by its lines. All evaluations an employee
// contributes share one date, so ordering by it too changes nothing but lets the database
// walk its (company, employee, date, evaluation) index instead of sorting.
const QString kHoldersEvaluationLines = QStringLiteral(
    "SELECT C.COD_EMPL, D.COD_REGI, D.COD_REQU, D.COD_ESPE, D.PUN_OBTE\n"
    "FROM ED_3CCOM C CROSS JOIN ED_D3CCO D\n"
    "WHERE C.COD_EMPR = :EMPRESA AND C.COD_EMPL IN (%1)\n"
    "  AND C.FEC_DESD = (SELECT MAX(X.FEC_DESD) FROM ED_3CCOM X\n"
    "                    WHERE X.COD_EMPR = C.COD_EMPR AND X.COD_EMPL = C.COD_EMPL)\n"
    "  AND D.COD_EMPR = C.COD_EMPR AND D.RMT_3CCO = C.RMT_3CCO\n"
    "ORDER BY C.COD_EMPL, C.FEC_DESD, C.RMT_3CCO, D.NUM_LINE").arg(kHolders);

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
        {QStringLiteral("DtsPBiDtpef"), {}, {}, categoryRecords("BI_DTPEF", false)},
        {QStringLiteral("DtsPBiDtpnf"), {}, {}, categoryRecords("BI_DTPNF", false)},
        {QStringLiteral("DtsPBidtphv"), {}, {}, categoryRecords("BI_DTPHV", false)},
        // Generation's reads for all holders of a position (parameters EMPRESA, CARGO).
        {QStringLiteral("DtsPBiDtpefCargo"), {}, {}, categoryRecords("BI_DTPEF", true)},
        {QStringLiteral("DtsPBiDtpnfCargo"), {}, {}, categoryRecords("BI_DTPNF", true)},
        {QStringLiteral("DtsPBidtphvCargo"), {}, {}, categoryRecords("BI_DTPHV", true)},
        {QStringLiteral("DtsPEd3dlccCargo"), {}, {}, kHoldersEvaluationLines},
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
