#pragma once
// Writes one employee at a time: the person (BI_EMPLE), contracts (NM_CONTR), category records
// (BI_DTPEF, BI_DTPNF, BI_DTPHV) and competence evaluations (ED_3CCOM, ED_D3CCO, ED_3LICC).
// Shared by the demo and the synthetic seeders; identification numbers are unique per writer.

#include "tools/dbtools/RecordPlanner.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>

namespace dbtools {

class DemoRandom;
class SeedWriter;

struct PersonInfo {
    int company = 0;
    double id = 0;          // COD_EMPL, an identity-card number
    QString names;
    QString surnames;
    QDate birth;
    QString sex;
};

class EmployeeWriter {
public:
    EmployeeWriter(SeedWriter &writer, DemoRandom &random);

    // A new person of `company` with names drawn from the catalogue and an unused number.
    PersonInfo newPerson(int company);
    // Reserves a fixed number so that drawn people never take it.
    void reserve(double id) { m_ids.insert(qint64(id)); }

    void writePerson(const PersonInfo &person);
    void writeContract(const PersonInfo &person, int number, const QString &position, bool active,
                       const QDate &start, const QDate &end, double salary);
    void writeRecords(const PersonInfo &person, const EmployeeRecords &records);
    // One evaluation per start date (ascending); the last one carries the planned lines, the
    // earlier ones lower and sparser scores.
    void writeEvaluations(const PersonInfo &person, const EmployeeRecords &records,
                          const QList<QDate> &starts, const QVariant &evaluator);

private:
    void writeRecordTable(const QString &table, const PersonInfo &person,
                          const QList<EmployeeRecord> &records);

    SeedWriter &m_writer;
    DemoRandom &m_random;
    QSet<qint64> m_ids;
    QHash<int, int> m_lastEvaluation;   // per company
};

} // namespace dbtools
