#include "engine/HolderRecordsRead.h"

#include "engine/HolderRecordsSink.h"
#include "framework/connection/SDCOMConnection.h"
#include "protocol/Protocol.h"

namespace engine {

// One category's read: the provider the server runs it under, the catalogue's statement for the
// holders of a list of positions (its "Perfil" form also keeps to the target profiles'
// requirements), the list of an employee's records it fills and the box that ticks it.
struct HolderRecordsRead::CategoryRead {
    const char *provider;
    const char *statement;
    CategoryRecords EmployeeRecords::*list;
    bool Categories::*ticked;
};

HolderRecordsRead::HolderRecordsRead(SDCOMConnection &connection, const Categories &ticked,
                                     const ProfileKeys &keys)
    : m_connection(connection), m_ticked(ticked), m_keys(keys)
{
}

const QList<HolderRecordsRead::CategoryRead> &HolderRecordsRead::categoryReads()
{
    static const QList<CategoryRead> reads{
        {"DtsPBiDtpnfCargo", "RegistrosEducacionNoFormalCargos", &EmployeeRecords::nonFormal, &Categories::eduNo},
        {"DtsPBiDtpefCargo", "RegistrosEducacionFormalCargos", &EmployeeRecords::formal, &Categories::eduFor},
        {"DtsPBidtphvCargo", "RegistrosExperienciaCargos", &EmployeeRecords::experience, &Categories::expe},
        {"DtsPEd3dlccCargo", "CompetenciasCargos", &EmployeeRecords::competences, &Categories::compe},
    };
    return reads;
}

bool HolderRecordsRead::wanted(const CategoryRead &read) const
{
    return m_ticked.*(read.ticked);
}

QList<protocol::ParamValue> HolderRecordsRead::params(int company, const QStringList &positions,
                                                      const std::optional<CompanyPositions> &targets) const
{
    QList<protocol::ParamValue> params{{QStringLiteral("EMPRESA"), protocol::FieldType::Smallint, company},
                                       {QStringLiteral("cargos"), protocol::FieldType::String, positions}};
    if (targets && !targets->isEmpty()) {
        QStringList codes;
        for (const CompanyPosition &target : *targets)
            codes << target.code;
        params.append({QStringLiteral("objetivos"), protocol::FieldType::String, codes});
        params.append({QStringLiteral("PERFIL"), protocol::FieldType::Smallint, targets->first().company});
    }
    return params;
}

QList<protocol::FetchRequest> HolderRecordsRead::requests(int company, const QStringList &positions,
                                                          const std::optional<CompanyPositions> &targets) const
{
    QList<protocol::FetchRequest> made;
    if (positions.isEmpty())
        return made;
    const QList<protocol::ParamValue> values = params(company, positions, targets);
    const bool toProfiles = targets && !targets->isEmpty();
    for (const CategoryRead &read : categoryReads())
        if (wanted(read))
            made.append({{}, QLatin1String(read.provider),
                         QLatin1String(read.statement) + (toProfiles ? QLatin1String("Perfil") : QLatin1String("")),
                         values, {}});
    return made;
}

void HolderRecordsRead::read(int company, const QStringList &positions, const std::optional<CompanyPositions> &targets,
                             qsizetype holders, QHash<double, EmployeeRecords> &records) const
{
    if (positions.isEmpty())
        return;
    records.reserve(records.size() + holders);
    const QList<protocol::FetchRequest> reads = requests(company, positions, targets);
    QList<const CategoryRead *> categories;
    for (const CategoryRead &read : categoryReads())
        if (wanted(read))
            categories << &read;
    for (qsizetype i = 0; i < reads.size(); ++i) {
        const CategoryRead &read = *categories.at(i);
        HolderRecordsSink sink(records, read.list, read.list == &EmployeeRecords::competences, m_keys);
        m_connection.FetchEach(reads.at(i).provider, reads.at(i).statement, reads.at(i).params, sink);
    }
}

} // namespace engine
