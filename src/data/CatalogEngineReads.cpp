#include "data/CatalogEngineReads.h"

#include "data/HolderRecordsSink.h"
#include "data/StatementCatalog.h"
#include "engine/DataSetRules.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/dataset/FieldConvert.h"
#include "framework/dataset/SClientDataSet.h"
#include "framework/dataset/TField.h"

using namespace engine;

static_assert(engine::kReadsPerRoundTrip == protocol::kMostReadsPerCall, "the engine plans its read-ahead by the wire's limit");

namespace {

// A cell of a fetched row by column name (the databases differ in the case of the names).
QVariant cell(const protocol::FetchResult &result, const QVariantList &row, const QString &column)
{
    const int at = protocol::indexOfField(result.fields, column);
    return at < 0 ? QVariant() : row.value(at);
}

QString trimmedText(const protocol::FetchResult &result, const QVariantList &row, const char *column)
{
    return fieldconv::toText(cell(result, row, QLatin1String(column))).trimmed();
}

protocol::ParamValue companyParam(const QString &name, int company)
{
    return {name, protocol::FieldType::Smallint, company};
}

// Every row of an open employee dataset, from the first.
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

} // namespace

// One category's holder records: the provider the server runs it under, the catalogue's statement
// for the holders of a list of positions (its "Perfil" form also keeps to the target profiles'
// requirements), the list of an employee's records it fills and the box that ticks it.
struct CatalogEngineReads::CategoryRead {
    const char *provider;
    const char *statement;
    CategoryRecords EmployeeRecords::*list;
    bool Categories::*ticked;
};

CatalogEngineReads::CatalogEngineReads(SClientDataSet &scratch, SClientDataSet &profile)
    : m_scratch(scratch), m_profile(profile)
{
}

const QList<CatalogEngineReads::CategoryRead> &CatalogEngineReads::categoryReads()
{
    static const QList<CategoryRead> reads{
        {"DtsPBiDtpnfCargo", "RegistrosEducacionNoFormalCargos", &EmployeeRecords::nonFormal, &Categories::eduNo},
        {"DtsPBiDtpefCargo", "RegistrosEducacionFormalCargos", &EmployeeRecords::formal, &Categories::eduFor},
        {"DtsPBidtphvCargo", "RegistrosExperienciaCargos", &EmployeeRecords::experience, &Categories::expe},
        {"DtsPEd3dlccCargo", "CompetenciasCargos", &EmployeeRecords::competences, &Categories::compe},
    };
    return reads;
}

SDCOMConnection &CatalogEngineReads::connection() const
{
    if (!m_scratch.RemoteServer)
        throw Exception(notConnectedMessage());
    return *m_scratch.RemoteServer;
}

protocol::FetchRequest CatalogEngineReads::pointProfile(const ProfileQuery &query)
{
    m_profile.Close();
    StatementCatalog::module().use(m_profile, QStringLiteral("PerfilCargoCategorias"),
                                   {{QStringLiteral("categorias"), categoryCodes(query.categories)}});
    m_profile.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(query.target.company);
    m_profile.ParamByName(QStringLiteral("P_COD_CARG"))->setAsString(query.target.code);
    return m_profile.Request();
}

protocol::FetchRequest CatalogEngineReads::pointHolders(const HoldersQuery &query)
{
    StatementCatalog::module().use(
        m_scratch, QStringLiteral("EmpleadosCargo"),
        {{QStringLiteral("empresa"), query.position.company}, {QStringLiteral("cargo"), query.position.code}});
    return m_scratch.Request();
}

QList<protocol::FetchRequest> CatalogEngineReads::recordRequests(const HolderRecordsQuery &query)
{
    QList<protocol::FetchRequest> made;
    if (query.positions.isEmpty())
        return made;
    QList<protocol::ParamValue> params{companyParam(QStringLiteral("EMPRESA"), query.company),
                                       {QStringLiteral("cargos"), protocol::FieldType::String, query.positions}};
    const bool toProfiles = query.targets && !query.targets->isEmpty();
    if (toProfiles) {
        QStringList codes;
        for (const CompanyPosition &target : *query.targets)
            codes << target.code;
        params.append({QStringLiteral("objetivos"), protocol::FieldType::String, codes});
        params.append(companyParam(QStringLiteral("PERFIL"), query.targets->first().company));
    }
    for (const CategoryRead &read : categoryReads())
        if (query.categories.*(read.ticked))
            made.append({{}, QLatin1String(read.provider),
                         QLatin1String(read.statement) + (toProfiles ? QLatin1String("Perfil") : QLatin1String("")),
                         params, {}});
    return made;
}

protocol::FetchRequest CatalogEngineReads::positionNamesRequest(int company)
{
    return {{}, QStringLiteral("DtsPBiCargo"), QStringLiteral("CargosActivosEmpresa"),
            {companyParam(QStringLiteral("CODEMPR"), company)}, {}};
}

QList<protocol::FetchRequest> CatalogEngineReads::requirementNamesRequests(int company)
{
    QList<protocol::FetchRequest> made;
    for (const char *statement : {"NombresCategoriasEmpresa", "NombresRequisitosEmpresa", "NombresEspecificacionesEmpresa"})
        made.append({{}, QStringLiteral("DtsPTemporal"), QLatin1String(statement),
                     {companyParam(QStringLiteral("CODEMPR"), company)}, {}});
    return made;
}

QList<protocol::FetchRequest> CatalogEngineReads::requests(const EngineReadList &reads)
{
    QList<protocol::FetchRequest> made;
    for (const EngineRead &read : reads) {
        if (const auto *profile = std::get_if<ProfileQuery>(&read))
            made << pointProfile(*profile);
        else if (const auto *holders = std::get_if<HoldersQuery>(&read))
            made << pointHolders(*holders);
        else if (const auto *records = std::get_if<HolderRecordsQuery>(&read))
            made << recordRequests(*records);
        else if (const auto *positions = std::get_if<PositionNamesQuery>(&read))
            made << positionNamesRequest(positions->company);
        else if (const auto *names = std::get_if<RequirementNamesQuery>(&read))
            made << requirementNamesRequests(names->company);
    }
    return made;
}

void CatalogEngineReads::readAhead(const EngineReadList &reads)
{
    // Without a connection each read fails on its own when it is made.
    if (SDCOMConnection *server = m_scratch.RemoteServer)
        server->ReadAhead(requests(reads));
}

PlanRows CatalogEngineReads::plan(int company, int plan)
{
    const protocol::FetchResult found =
        connection().Fetch(QStringLiteral("DtsPTemporal"), QStringLiteral("NodosPlanCompleto"),
                           {companyParam(QStringLiteral("CODEMPR"), company), companyParam(QStringLiteral("CODMENU"), plan)});
    PlanRows rows;
    for (const QVariantList &row : found.rows) {
        const auto text = [&](const char *column) { return fieldconv::toText(cell(found, row, QLatin1String(column))); };
        const QVariant parent = cell(found, row, QStringLiteral("COD_NODP"));
        const PlanNodeRow node{cell(found, row, QStringLiteral("COD_NODO")).toInt(),
                               parent.isNull() ? 0 : parent.toInt(), text("COD_CARG"), text("COD_EMCA")};
        if (node.node == 0) {
            rows.header = node;
            rows.name = text("NOM_MENU");
        } else {
            rows.nodes.append(node);
        }
    }
    return rows;
}

Profile CatalogEngineReads::profile(const ProfileQuery &query)
{
    pointProfile(query);
    m_profile.Open();
    Profile rows;
    rows.reserve(m_profile.RecordCount());
    for (m_profile.First(); !m_profile.Eof(); m_profile.Next()) {
        rows.append(profileRowAt(m_profile));
        rows.last().key.prepare();
    }
    return rows;
}

CandidateEmployees CatalogEngineReads::holders(const HoldersQuery &query)
{
    m_scratch.Close();
    pointHolders(query);
    m_scratch.Open();
    return readCandidates(m_scratch);
}

bool CatalogEngineReads::employeeRegistered(int company, const QString &employee)
{
    m_scratch.Close();
    StatementCatalog::module().use(m_scratch, QStringLiteral("EmpleadoRegistrado"),
                                   {{QStringLiteral("empresa"), company}, {QStringLiteral("empleado"), employee}});
    m_scratch.Open();
    return m_scratch.FieldByName(QStringLiteral("CONTADOR"))->AsInteger() > 0;
}

void CatalogEngineReads::holderRecords(const HolderRecordsQuery &query, const ProfileKeys &keys, qsizetype holders,
                                       QHash<double, EmployeeRecords> &records)
{
    if (query.positions.isEmpty())
        return;
    records.reserve(records.size() + holders);
    const QList<protocol::FetchRequest> reads = recordRequests(query);
    QList<const CategoryRead *> categories;
    for (const CategoryRead &read : categoryReads())
        if (query.categories.*(read.ticked))
            categories << &read;
    SDCOMConnection &server = connection();
    for (qsizetype i = 0; i < reads.size(); ++i) {
        const CategoryRead &read = *categories.at(i);
        HolderRecordsSink sink(records, read.list, read.list == &EmployeeRecords::competences, keys);
        server.FetchEach(reads.at(i).provider, reads.at(i).statement, reads.at(i).params, sink);
    }
}

QHash<QString, QString> CatalogEngineReads::positionNames(const PositionNamesQuery &query)
{
    const protocol::FetchResult found = connection().Fetch(positionNamesRequest(query.company));
    QHash<QString, QString> names;
    for (const QVariantList &row : found.rows)
        names.insert(fieldconv::toText(cell(found, row, QStringLiteral("cod_carg"))), trimmedText(found, row, "nom_carg"));
    return names;
}

RequirementNames CatalogEngineReads::requirementNames(const RequirementNamesQuery &query)
{
    const QList<protocol::FetchRequest> reads = requirementNamesRequests(query.company);
    SDCOMConnection &server = connection();
    RequirementNames names;
    const protocol::FetchResult categories = server.Fetch(reads.at(0));
    for (const QVariantList &row : categories.rows)
        names.categories.insert(trimmedText(categories, row, "COD_REGI"), trimmedText(categories, row, "NOM_REGI"));
    const protocol::FetchResult requirements = server.Fetch(reads.at(1));
    for (const QVariantList &row : requirements.rows)
        names.requirements.insert(trimmedText(requirements, row, "TIP_REGI") + QLatin1Char('|')
                                      + trimmedText(requirements, row, "COD_REQU"),
                                  trimmedText(requirements, row, "NOM_REQU"));
    const protocol::FetchResult details = server.Fetch(reads.at(2));
    for (const QVariantList &row : details.rows)
        names.details.insert(trimmedText(details, row, "TIP_REGI") + QLatin1Char('|')
                                 + trimmedText(details, row, "COD_REQU") + QLatin1Char('|')
                                 + trimmedText(details, row, "COD_ESPE"),
                             trimmedText(details, row, "NOM_ESPE"));
    return names;
}

QStringList CatalogEngineReads::nodePositions(int company, int plan, int node, int parent)
{
    m_scratch.Close();
    StatementCatalog::module().use(m_scratch, QStringLiteral("CargosPlanNodo"));
    m_scratch.ParamByName(QStringLiteral("CODEMPR"))->setAsSmallInt(company);
    m_scratch.ParamByName(QStringLiteral("codmenu"))->setAsSmallInt(plan);
    m_scratch.ParamByName(QStringLiteral("codnodo"))->setAsSmallInt(node);
    m_scratch.ParamByName(QStringLiteral("codnodp"))->setAsSmallInt(parent);
    m_scratch.Open();
    QStringList codes;
    TField *code = m_scratch.FieldByName(QStringLiteral("cod_carg"));
    for (m_scratch.First(); !m_scratch.Eof(); m_scratch.Next())
        codes << code->AsString();
    return codes;
}
