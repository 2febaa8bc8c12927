#pragma once
// Builds the demo database: three companies (1 a company group, 2 with education without
// points, 1 with a logo), their positions and profiles, three career plans, about 320 people
// with contracts, records and competence evaluations spread over the traffic-light bands, and
// replacement rows; plus company-0 rows that the module's filters must hide.

#include "tools/dbtools/EmployeeWriter.h"
#include "tools/dbtools/ProfileBuilder.h"
#include "tools/dbtools/RecordPlanner.h"

#include <QHash>
#include <QList>
#include <QPair>

namespace dbtools {

class DemoRandom;
class SeedWriter;

class DemoWorld {
public:
    DemoWorld(SeedWriter &writer, DemoRandom &random);
    void build();

private:
    using PositionKey = QPair<int, QString>;

    void writeReferenceData();
    void writePositions();
    void writePlans();
    void writeEmployees();
    void writePositionHolders(const PositionInfo &position);
    void writeHolder(const PersonInfo &person, const PositionInfo &position, Band band);
    void writeNotablePeople();
    void writeFormerEmployees();
    void writeReplacements();
    void writeTemplateCompany();

    QList<ProfileRow> profileFor(const PositionInfo &position) const;
    QList<ProfileRow> targetProfile(const PositionKey &position) const;
    QList<QDate> evaluationDates(int ordinal);
    QVariant evaluatorFor(int company) const;

    SeedWriter &m_writer;
    DemoRandom &m_random;
    EmployeeWriter m_employees;
    RecordPlanner m_planner;
    QHash<PositionKey, QList<ProfileRow>> m_profiles;
    QHash<PositionKey, QList<PositionKey>> m_targets;   // position -> positions one level up
    QHash<PositionKey, QList<PersonInfo>> m_holders;    // active holders, in creation order
    QHash<PositionKey, QList<PersonInfo>> m_fixedHolders;
    QHash<qint64, int> m_lastContract;                  // per person id
    int m_ordinal = 0;
};

} // namespace dbtools
