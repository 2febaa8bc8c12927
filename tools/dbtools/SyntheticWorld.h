#pragma once
// Builds a large synthetic company for benchmarks: one company with N active contracts spread
// over positions, a flat career plan whose top node has every other position below it, a
// profile in all six categories for the top position, about twenty category records and two
// competence evaluations per employee.

#include "tools/dbtools/EmployeeWriter.h"
#include "tools/dbtools/ProfileBuilder.h"
#include "tools/dbtools/RecordPlanner.h"

namespace dbtools {

class DemoRandom;
class SeedWriter;

class SyntheticWorld {
public:
    SyntheticWorld(SeedWriter &writer, DemoRandom &random, int employees);
    void build();

    // Positions used for `employees` contracts: one top position plus the ones below it.
    static int positionCount(int employees);
    static QString positionCode(int index);

private:
    void writeReferenceData();
    void writePositionsAndPlan();
    void writeEmployee(int ordinal);

    SeedWriter &m_writer;
    DemoRandom &m_random;
    int m_employeeCount;
    int m_positionCount;
    EmployeeWriter m_employees;
    RecordPlanner m_planner;
    QList<PositionInfo> m_positions;
    QList<ProfileRow> m_topProfile;
    int m_topRecordCount = 0;    // rows of m_topProfile kept as category records
};

} // namespace dbtools
