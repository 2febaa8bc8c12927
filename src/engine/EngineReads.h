#pragma once
// What the engine reads, as typed values: a plan's rows, a position's requirement profile, the
// holders of a position, the holders' records by category, whether an employee is registered in a
// company, and the names of positions, categories, requirements and specifications. The data
// layer implements it over its catalogue and its connection; the engine names no statement and
// sends nothing itself.
//
// Reads that an action is about to make one by one may be asked together first (readAhead): they
// then cost one request in all, and each later read of the same thing takes its answer from it.

#include "engine/CandidateEmployee.h"
#include "engine/CareerPlanShape.h"
#include "engine/GenerationInputs.h"
#include "engine/ProfileScoring.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace engine {

// The rows of one plan: its header (node 0) with the plan's name, and its other rows as read.
struct PlanRows {
    std::optional<PlanNodeRow> header;
    QString name;
    QVector<PlanNodeRow> nodes;
};

// The requirement profile of a target position in the ticked categories.
struct ProfileQuery {
    CompanyPosition target;
    Categories categories;
};

// The active contracts of one position, by surname.
struct HoldersQuery {
    CompanyPosition position;
};

// The records of the ticked categories of the active holders of several positions of one company.
// With `targets` (positions of one company), only the records whose category and requirement a
// row of those positions' profiles names.
struct HolderRecordsQuery {
    int company = 0;
    QStringList positions;
    Categories categories;
    std::optional<CompanyPositions> targets;
};

// The active positions of a company, by code.
struct PositionNamesQuery {
    int company = 0;
};

// The names of a company's categories, requirements and specifications.
struct RequirementNamesQuery {
    int company = 0;
};

// One read to be read ahead with others.
using EngineRead = std::variant<ProfileQuery, HoldersQuery, HolderRecordsQuery, PositionNamesQuery, RequirementNamesQuery>;
using EngineReadList = QList<EngineRead>;
// The reads one read-ahead carries in a single round trip (a company's requirement names count
// three, every other read one); more take further round trips.
inline constexpr int kReadsPerRoundTrip = 64;

// The names of a company's requirements, trimmed, by code.
struct RequirementNames {
    QHash<QString, QString> categories;     // TIP_REGI
    QHash<QString, QString> requirements;   // TIP_REGI|COD_REQU
    QHash<QString, QString> details;        // TIP_REGI|COD_REQU|COD_ESPE
};

// What a run without reads (a module not connected) stops with.
inline const QString &notConnectedMessage()
{
    static const QString text = QStringLiteral("El módulo no está conectado al servidor de aplicaciones.");
    return text;
}

class EngineReads {
public:
    virtual ~EngineReads() = default;

    // Asks `reads` in one request ahead of the same reads made below; a read the current user
    // action has made already is not asked again.
    virtual void readAhead(const EngineReadList &reads) = 0;

    // Plan `plan` of company `company`: no header when the company has no such plan.
    virtual PlanRows plan(int company, int plan) = 0;
    // The profile's rows by record type, requirement and detail, each key prepared.
    virtual Profile profile(const ProfileQuery &query) = 0;
    virtual CandidateEmployees holders(const HoldersQuery &query) = 0;
    // Whether the company has an employee of code `employee` (as text).
    virtual bool employeeRegistered(int company, const QString &employee) = 0;
    // Adds to `records` (by COD_EMPL) the records of `query`, each employee's in the order read,
    // leaving out those no row of `keys` can match; room is made for `holders` more employees
    // first. The records are taken as they arrive, not held whole.
    virtual void holderRecords(const HolderRecordsQuery &query, const ProfileKeys &keys, qsizetype holders,
                               QHash<double, EmployeeRecords> &records) = 0;
    // NOM_CARG (trimmed) by COD_CARG.
    virtual QHash<QString, QString> positionNames(const PositionNamesQuery &query) = 0;
    virtual RequirementNames requirementNames(const RequirementNamesQuery &query) = 0;
    // The positions (COD_CARG) of the children of a plan node, in company `company`.
    virtual QStringList nodePositions(int company, int plan, int node, int parent) = 0;
};

} // namespace engine
