#include "engine/HolderRecordsRead.h"

#include "engine/HolderRecordsSink.h"
#include "framework/connection/SDCOMConnection.h"
#include "protocol/Protocol.h"

namespace engine {

namespace {

QString quotedCodes(const QStringList &codes)
{
    QStringList quoted;
    quoted.reserve(codes.size());
    for (const QString &code : codes)
        quoted << QLatin1Char('\'') + QString(code).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
    return quoted.join(QLatin1Char(','));
}

// One category's read: the provider the server runs it under, its table (empty: the competence
// evaluation lines) and the list of an employee's records it fills. An employee's latest
// evaluations are those no other of its evaluations follows: written so, PostgreSQL joins the
// evaluations once instead of looking up each holder's latest date, in under half the time.
struct CategoryRead {
    const char *provider;
    const char *table;
    CategoryRecords EmployeeRecords::*list;
    QString statement(const QString &positions, const QString &targets) const;
};

QString CategoryRead::statement(const QString &positions, const QString &targets) const
{
    const bool lines = QLatin1String(table).isEmpty();
    const QString holders = QStringLiteral(" IN (SELECT COD_EMPL FROM NM_CONTR WHERE COD_EMPR = :EMPRESA "
                                           "AND COD_CARG IN (%1) AND IND_ACTI = 'A')").arg(positions);
    const QString profiled =
        targets.isEmpty() ? QString()
                          : QStringLiteral(" AND EXISTS (SELECT 1 FROM BI_DTPCA P WHERE P.COD_EMPR = :PERFIL "
                                           "AND P.COD_CARG IN (%1) AND P.TIP_REGI = %2 AND P.COD_REQU = %3)")
                                .arg(targets, lines ? QStringLiteral("D.COD_REGI") : QStringLiteral("H.TIP_REGI"),
                                     lines ? QStringLiteral("D.COD_REQU") : QStringLiteral("H.COD_REQU"));
    if (lines)
        return QStringLiteral("SELECT C.COD_EMPL, D.COD_REGI, D.COD_REQU, D.COD_ESPE, D.PUN_OBTE "
                              "FROM ED_3CCOM C CROSS JOIN ED_D3CCO D WHERE C.COD_EMPR = :EMPRESA AND C.COD_EMPL")
            + holders
            + QStringLiteral(" AND C.FEC_DESD IS NOT NULL AND NOT EXISTS (SELECT 1 FROM ED_3CCOM X "
                             "WHERE X.COD_EMPR = C.COD_EMPR AND X.COD_EMPL = C.COD_EMPL AND X.FEC_DESD > C.FEC_DESD) "
                             "AND D.COD_EMPR = C.COD_EMPR AND D.RMT_3CCO = C.RMT_3CCO")
            + profiled + QStringLiteral(" ORDER BY C.COD_EMPL, C.FEC_DESD, C.RMT_3CCO, D.NUM_LINE");
    return QStringLiteral("SELECT H.COD_EMPL, H.TIP_REGI, H.COD_REQU, H.COD_ESPE, H.PUN_OBTE FROM %1 H "
                          "WHERE H.COD_EMPR = :EMPRESA AND H.COD_EMPL")
               .arg(QLatin1String(table))
        + holders + profiled + QStringLiteral(" ORDER BY H.COD_EMPL, H.NUM_REGI");
}

} // namespace

HolderRecordsRead::HolderRecordsRead(SDCOMConnection &connection, const Categories &ticked, const ProfileKeys &keys)
    : m_connection(connection), m_ticked(ticked), m_keys(keys)
{
}

void HolderRecordsRead::read(int company, const QStringList &positions, const std::optional<CompanyPositions> &targets,
                             qsizetype holders, QHash<double, EmployeeRecords> &records) const
{
    if (positions.isEmpty())
        return;
    records.reserve(records.size() + holders);
    static const CategoryRead reads[] = {
        {"DtsPBiDtpnfCargo", "BI_DTPNF", &EmployeeRecords::nonFormal},
        {"DtsPBiDtpefCargo", "BI_DTPEF", &EmployeeRecords::formal},
        {"DtsPBidtphvCargo", "BI_DTPHV", &EmployeeRecords::experience},
        {"DtsPEd3dlccCargo", "", &EmployeeRecords::competences},
    };
    const bool wanted[] = {m_ticked.eduNo, m_ticked.eduFor, m_ticked.expe, m_ticked.compe};
    const QString list = quotedCodes(positions);
    QList<protocol::ParamValue> params{{QStringLiteral("EMPRESA"), protocol::FieldType::Smallint, company}};
    QString targetList;
    if (targets && !targets->isEmpty()) {
        QStringList codes;
        for (const CompanyPosition &target : *targets)
            codes << target.code;
        targetList = quotedCodes(codes);
        params.append({QStringLiteral("PERFIL"), protocol::FieldType::Smallint, targets->first().company});
    }
    for (int at = 0; at < 4; ++at) {
        if (!wanted[at])
            continue;
        const bool lines = QLatin1String(reads[at].table).isEmpty();
        HolderRecordsSink sink(records, reads[at].list, lines, m_keys);
        m_connection.FetchEach(QLatin1String(reads[at].provider), reads[at].statement(list, targetList), params, sink);
    }
}

} // namespace engine
