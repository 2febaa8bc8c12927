#include "data/HolderRecordsSink.h"

#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"

using engine::CategoryRecord;

HolderRecordsSink::HolderRecordsSink(QHash<double, engine::EmployeeRecords> &records,
                                     engine::CategoryRecords engine::EmployeeRecords::*category, bool lines,
                                     const engine::ProfileKeys &profile)
    : m_records(records), m_category(category), m_lines(lines), m_profile(profile)
{
}

void HolderRecordsSink::fields(const QList<protocol::FieldDesc> &fields)
{
    m_fields = fields;
    m_code = column(QStringLiteral("COD_EMPL"));
    m_type = column(m_lines ? QStringLiteral("COD_REGI") : QStringLiteral("TIP_REGI"));
    m_requirement = column(QStringLiteral("COD_REQU"));
    m_detail = column(QStringLiteral("COD_ESPE"));
    m_obtained = column(QStringLiteral("PUN_OBTE"));
}

void HolderRecordsSink::row(const protocol::RowCells &cells)
{
    const double employee = stored(cells, m_code).toDouble();
    if (!m_target || employee != m_employee) {
        // Lists are sized for as many records as the previous employee had.
        const qsizetype previous = m_target ? m_target->size() : 0;
        m_target = &(m_records[employee].*m_category);
        m_target->reserve(m_target->size() + previous);
        m_employee = employee;
    }
    CategoryRecord record{{stored(cells, m_requirement), stored(cells, m_detail), stored(cells, m_type)},
                          stored(cells, m_obtained)};
    record.key.prepare();
    if (m_profile.mayMatch(record.key))
        m_target->append(std::move(record));
}

int HolderRecordsSink::column(const QString &name) const
{
    const int at = protocol::indexOfField(m_fields, name);
    if (at < 0)
        throw EDatabaseError(QStringLiteral("CdsTemporal: campo '%1' no encontrado").arg(name));
    return at;
}

QVariant HolderRecordsSink::stored(const protocol::RowCells &cells, int at) const
{
    return fieldconv::storedCell(cells, at, m_fields.at(at));
}

