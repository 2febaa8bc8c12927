#pragma once
// The engine's reads over the module's catalogue and connection. A position's profile is read
// through the module's profile dataset (which the profile grid shows afterwards); the holders of
// a position, an employee's count and a plan node's positions through the master form's
// general-purpose dataset; a plan's rows, the names and the holders' records are fetched through
// that dataset's connection, the records taken row by row as they arrive.

#include "engine/EngineReads.h"
#include "protocol/Protocol.h"

class SClientDataSet;
class SDCOMConnection;

class CatalogEngineReads : public engine::EngineReads {
public:
    // `scratch` is the general-purpose dataset, whose connection every read goes through.
    CatalogEngineReads(SClientDataSet &scratch, SClientDataSet &profile);

    // The requests that `reads` make, in order, for a caller that reads them ahead with its own.
    QList<protocol::FetchRequest> requests(const engine::EngineReadList &reads);

    void readAhead(const engine::EngineReadList &reads) override;
    engine::PlanRows plan(int company, int plan) override;
    engine::Profile profile(const engine::ProfileQuery &query) override;
    engine::CandidateEmployees holders(const engine::HoldersQuery &query) override;
    bool employeeRegistered(int company, const QString &employee) override;
    void holderRecords(const engine::HolderRecordsQuery &query, const engine::ProfileKeys &keys, qsizetype holders,
                       QHash<double, engine::EmployeeRecords> &records) override;
    QHash<QString, QString> positionNames(const engine::PositionNamesQuery &query) override;
    engine::RequirementNames requirementNames(const engine::RequirementNamesQuery &query) override;
    QStringList nodePositions(int company, int plan, int node, int parent) override;

private:
    struct CategoryRead;
    static const QList<CategoryRead> &categoryReads();
    SDCOMConnection &connection() const;
    // Points the profile dataset (closed) or the general-purpose one at a read; what its open asks.
    protocol::FetchRequest pointProfile(const engine::ProfileQuery &query);
    protocol::FetchRequest pointHolders(const engine::HoldersQuery &query);
    static QList<protocol::FetchRequest> recordRequests(const engine::HolderRecordsQuery &query);
    static protocol::FetchRequest positionNamesRequest(int company);
    static QList<protocol::FetchRequest> requirementNamesRequests(int company);

    SClientDataSet &m_scratch;
    SClientDataSet &m_profile;
};
