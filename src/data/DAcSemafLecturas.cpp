// The data module's reads ahead: what a company change and a move to another plan row are about
// to read, asked of the server in one round trip before the module's rules read it step by step
// (each step then takes its answer from the connection; see SDCOMConnection::ReadAhead).

#include "data/CatalogEngineReads.h"
#include "data/DAcSemaf.h"

#include "engine/TrafficLightGeneration.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/dataset/TField.h"

#include <QSet>

namespace {

protocol::FetchRequest request(const SClientDataSet &dataSet, const QString &statement,
                               const QList<std::pair<QString, QVariant>> &values)
{
    protocol::FetchRequest made{{}, dataSet.ProviderName, statement, {}, {}};
    for (const auto &[name, value] : values)
        made.params.append({name, protocol::FieldType::Unknown, value});
    return made;
}

} // namespace

void TDtmAcSemaf::readAheadCompany(int company)
{
    if (!m_conexion || !m_listaEmpresas || !CdsTemporal)
        return;
    const QString key = QStringLiteral("COD_EMPR");
    if (!m_listaEmpresas->Active() || m_listaEmpresas->Lookup(key, company, key).isNull())
        return;   // the change refuses such a company itself
    const bool group = m_listaEmpresas->Lookup(key, company, QStringLiteral("GRU_EMPR")).toString() == QLatin1String("S");
    const int country = m_listaEmpresas->Lookup(key, company, QStringLiteral("COD_PAIS")).toInt();
    QList<protocol::FetchRequest> ahead{
        request(*CdsTemporal, QStringLiteral("GrupoEmpresarial"), {{QStringLiteral("CODEMPR"), company}})};
    if (group) {
        ahead << request(QryBiCargo, QStringLiteral("CargosActivos"), {})
              << request(QryEmpCarg, QStringLiteral("CargosActivos"), {});
    } else {
        ahead << request(QryBiCargo, QStringLiteral("CargosActivosEmpresa"), {{QStringLiteral("CODEMPR"), company}})
              << request(QryEmpCarg, QStringLiteral("CargosActivosEmpresaPorEmpresa"), {{QStringLiteral("CODEMPR"), company}});
    }
    ahead << request(QryEmpleado, QryEmpleado.StatementName(), {{QStringLiteral("P_COD_EMPR"), company}})
          << request(QryGnEmpre, QryGnEmpre.StatementName(), {{QStringLiteral("P_COD_EMPR"), company}})
          << request(QryGnNexof, QString(),
                     {{QStringLiteral("PCODVARI"), QStringLiteral("Q0000190")}, {QStringLiteral("PCODPAIS"), country},
                      {QStringLiteral("PCODEMPR"), company}})
          << request(QryAcPprom, QStringLiteral("PlanesEmpresa"), {{QStringLiteral("empresa"), company}})
          << request(m_consultaPlan, QStringLiteral("CargosEmpresa"), {{QStringLiteral("CODEMPR"), company}})
          << request(m_consultaPlan, QStringLiteral("NivelesEmpresa"), {{QStringLiteral("CODEMPR"), company}});
    m_conexion->ReadAhead(ahead);
}

void TDtmAcSemaf::readAheadGeneration(const QList<protocol::FetchRequest> &own)
{
    if (!m_conexion || !CdsTemporal)
        return;
    engine::GenerationInputs inputs;
    try {
        inputs = generationInputs(Forma);
    } catch (const Exception &) {
        return;   // the run stops at its message itself
    }
    QList<protocol::FetchRequest> ahead = own;
    ahead += CatalogEngineReads(*CdsTemporal, QryBiDtpca).requests(engine::TrafficLightGeneration::firstReads(inputs));
    // The positions page of the first result row, in each candidate company.
    QSet<int> companies;
    for (const engine::CompanyPosition &position : inputs.candidates)
        if (!companies.contains(position.company)) {
            companies.insert(position.company);
            ahead << request(*CdsTemporal, QStringLiteral("CargosPlanNodo"),
                             {{QStringLiteral("CODEMPR"), position.company},
                              {QStringLiteral("codmenu"), QryAcPprom.FieldByName(QStringLiteral("COD_MENU"))->AsVariant()},
                              {QStringLiteral("codnodo"), QryAcPprom.FieldByName(QStringLiteral("COD_NODO"))->AsVariant()},
                              {QStringLiteral("codnodp"), QryAcPprom.FieldByName(QStringLiteral("COD_NODP"))->AsVariant()}});
        }
    m_conexion->ReadAhead(ahead);
}

void TDtmAcSemaf::readAheadPlanRow(TDataSet *plan)
{
    if (!m_conexion)
        return;
    const int company = currentCompany();
    const QVariant menu = plan->FieldByName(QStringLiteral("COD_MENU"))->AsVariant();
    m_conexion->ReadAhead(
        {request(QryAcCuare, QryAcCuare.StatementName(),
                 {{QStringLiteral("cod_empr"), company}, {QStringLiteral("cod_menu"), menu},
                  {QStringLiteral("cod_nodo"), plan->FieldByName(QStringLiteral("COD_NODO"))->AsVariant()}}),
         request(QryNmContr, QryNmContr.StatementName(),
                 {{QStringLiteral("COD_EMPR"), company},
                  {QStringLiteral("COD_CARG"), plan->FieldByName(QStringLiteral("COD_CARG"))->AsString()}}),
         // The tree of the row's plan, drawn when the row names another plan than the tree's.
         request(QryGrafico, QryGrafico.StatementName(),
                 {{QStringLiteral("P_COD_EMPR"), company}, {QStringLiteral("P_COD_MENU"), menu}})});
}
