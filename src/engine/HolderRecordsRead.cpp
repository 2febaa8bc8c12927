#include "engine/HolderRecordsRead.h"

#include "engine/HolderRecordsSink.h"
#include "framework/connection/SDCOMConnection.h"
#include "protocol/Protocol.h"

namespace engine {

namespace {

// One category's read: the provider the server runs it under, the catalogue's statement for the
// holders of a list of positions (its "Perfil" form also keeps to the target profiles'
// requirements) and the list of an employee's records it fills.
struct CategoryRead {
    const char *provider;
    const char *statement;
    CategoryRecords EmployeeRecords::*list;
};

} // namespace

HolderRecordsRead::HolderRecordsRead(SDCOMConnection &connection, const Categories &ticked,
                                     const ProfileKeys &keys)
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
        {"DtsPBiDtpnfCargo", "RegistrosEducacionNoFormalCargos", &EmployeeRecords::nonFormal},
        {"DtsPBiDtpefCargo", "RegistrosEducacionFormalCargos", &EmployeeRecords::formal},
        {"DtsPBidtphvCargo", "RegistrosExperienciaCargos", &EmployeeRecords::experience},
        {"DtsPEd3dlccCargo", "CompetenciasCargos", &EmployeeRecords::competences},
    };
    const bool wanted[] = {m_ticked.eduNo, m_ticked.eduFor, m_ticked.expe, m_ticked.compe};
    QList<protocol::ParamValue> params{{QStringLiteral("EMPRESA"), protocol::FieldType::Smallint, company},
                                       {QStringLiteral("cargos"), protocol::FieldType::String, positions}};
    const bool toProfiles = targets && !targets->isEmpty();
    if (toProfiles) {
        QStringList codes;
        for (const CompanyPosition &target : *targets)
            codes << target.code;
        params.append({QStringLiteral("objetivos"), protocol::FieldType::String, codes});
        params.append({QStringLiteral("PERFIL"), protocol::FieldType::Smallint, targets->first().company});
    }
    for (int at = 0; at < 4; ++at) {
        if (!wanted[at])
            continue;
        const CategoryRead &read = reads[at];
        const QString statement = QLatin1String(read.statement) + (toProfiles ? QLatin1String("Perfil") : QLatin1String(""));
        HolderRecordsSink sink(records, read.list, read.list == &EmployeeRecords::competences, m_keys);
        m_connection.FetchEach(QLatin1String(read.provider), statement, params, sink);
    }
}

} // namespace engine
