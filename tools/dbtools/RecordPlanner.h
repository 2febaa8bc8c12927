#pragma once
// Decides an employee's category records (education, courses, experience) and the lines of
// the latest competence evaluation so that, measured against a target profile, the employee
// lands in a chosen traffic-light band: green (at or above the requirement), yellow (about
// three quarters) or red (well below). Adds ordinary records that match nothing in the target.

#include "tools/dbtools/ProfileBuilder.h"

#include <QDate>
#include <QList>
#include <QVariant>

namespace dbtools {

class DemoRandom;

enum class Band { Green, Yellow, Red };

struct EmployeeRecord {
    QString recordType;
    int requirement = 0;
    QVariant espe;
    QVariant points;       // PUN_OBTE
    QString description;
    QDate date;
};

struct EmployeeRecords {
    QList<EmployeeRecord> formal;       // BI_DTPEF
    QList<EmployeeRecord> nonFormal;    // BI_DTPNF
    QList<EmployeeRecord> experience;   // BI_DTPHV
    QList<EmployeeRecord> competences;  // latest evaluation lines (ED_D3CCO)
    int total() const { return int(formal.size() + nonFormal.size() + experience.size()); }
};

class RecordPlanner {
public:
    explicit RecordPlanner(DemoRandom &random) : m_random(random) {}

    // `ordinary` more records that match no row of the target profile.
    EmployeeRecords plan(const QList<ProfileRow> &target, Band band, int ordinary);
    // A band drawn with the demo's mix: about a third each.
    Band drawBand();

private:
    void add(EmployeeRecords &records, const EmployeeRecord &record) const;
    QString institutionFor(const QString &recordType);

    DemoRandom &m_random;
};

} // namespace dbtools
