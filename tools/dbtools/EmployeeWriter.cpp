#include "tools/dbtools/EmployeeWriter.h"

#include "tools/dbtools/DemoCatalog.h"
#include "tools/dbtools/DemoRandom.h"
#include "tools/dbtools/SeedWriter.h"

#include <cmath>

namespace dbtools {

EmployeeWriter::EmployeeWriter(SeedWriter &writer, DemoRandom &random)
    : m_writer(writer), m_random(random)
{
}

PersonInfo EmployeeWriter::newPerson(int company)
{
    PersonInfo person;
    person.company = company;
    const bool female = m_random.chance(0.5);
    person.sex = female ? QStringLiteral("F") : QStringLiteral("M");
    person.names = m_random.pick(female ? DemoCatalog::femaleNames() : DemoCatalog::maleNames());
    const QString first = m_random.pick(DemoCatalog::surnames());
    QString second = m_random.pick(DemoCatalog::surnames());
    if (second == first)
        second = DemoCatalog::surnames().at((DemoCatalog::surnames().indexOf(first) + 7)
                                            % DemoCatalog::surnames().size());
    person.surnames = (first + QLatin1Char(' ') + second).left(25);
    person.birth = QDate(1962, 1, 1).addDays(m_random.bounded(40 * 365));
    qint64 id = 0;
    do {
        // Older cards are numbered by sex, newer ones from one thousand million on.
        if (person.birth.year() >= 1985)
            id = 1000000000LL + m_random.bounded(120000000);
        else
            id = (female ? 20000000LL : 70000000LL) + m_random.bounded(female ? 45000000 : 29000000);
    } while (m_ids.contains(id));
    m_ids.insert(id);
    person.id = double(id);
    return person;
}

void EmployeeWriter::writePerson(const PersonInfo &person)
{
    m_writer.insert(QStringLiteral("BI_EMPLE"),
                    {person.company, person.id, person.names, person.surnames, person.birth,
                     person.sex});
}

void EmployeeWriter::writeContract(const PersonInfo &person, int number, const QString &position,
                                   bool active, const QDate &start, const QDate &end, double salary)
{
    m_writer.insert(QStringLiteral("NM_CONTR"),
                    {person.company, person.id, number, position,
                     active ? QStringLiteral("A") : QStringLiteral("I"), start,
                     end.isValid() ? QVariant(end) : QVariant(), salary});
}

void EmployeeWriter::writeRecordTable(const QString &table, const PersonInfo &person,
                                      const QList<EmployeeRecord> &records)
{
    int number = 0;
    for (const EmployeeRecord &record : records) {
        m_writer.insert(table, {person.company, person.id, ++number, record.recordType,
                                record.requirement, record.espe, record.points,
                                record.description, record.date});
    }
}

void EmployeeWriter::writeRecords(const PersonInfo &person, const EmployeeRecords &records)
{
    writeRecordTable(QStringLiteral("BI_DTPEF"), person, records.formal);
    writeRecordTable(QStringLiteral("BI_DTPNF"), person, records.nonFormal);
    writeRecordTable(QStringLiteral("BI_DTPHV"), person, records.experience);
}

void EmployeeWriter::writeEvaluations(const PersonInfo &person, const EmployeeRecords &records,
                                      const QList<QDate> &starts, const QVariant &evaluator)
{
    for (int i = 0; i < starts.size(); ++i) {
        const bool latest = i == starts.size() - 1;
        const int evaluation = ++m_lastEvaluation[person.company];
        const QDate end = starts.at(i).addDays(29);
        m_writer.insert(QStringLiteral("ED_3CCOM"),
                        {person.company, evaluation, person.id, starts.at(i), end, evaluator,
                         QStringLiteral("C")});
        int line = 0;
        double total = 0;
        for (const EmployeeRecord &record : records.competences) {
            double points = record.points.toDouble();
            if (!latest) {
                if (!m_random.chance(0.85))
                    continue;
                points = std::round(points * m_random.uniform(0.6, 0.95) * 10.0) / 10.0;
            }
            total += points;
            m_writer.insert(QStringLiteral("ED_D3CCO"),
                            {person.company, evaluation, ++line, record.recordType,
                             record.requirement, record.espe, points, record.description.left(80)});
        }
        m_writer.insert(QStringLiteral("ED_3LICC"),
                        {person.company, person.id, i + 1, end, total, QStringLiteral("C")});
    }
}

} // namespace dbtools
