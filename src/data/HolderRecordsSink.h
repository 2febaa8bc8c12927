#pragma once
// Takes a read of holders' records of one category as it arrives and groups the records by
// employee (the rows come ordered by employee: one look-up per employee, not per row), each value
// as the scratch dataset's field would hold it (an empty text reads as null). Records no profile
// row can match are left out. The current employee's list is kept by address from row to row and
// taken again after each new employee's insertion, so the map may grow during the read; room made
// beforehand (QHash::reserve) spares it the growing.

#include "engine/ProfileScoring.h"
#include "protocol/Protocol.h"

#include <QHash>

class HolderRecordsSink : public protocol::RowSink {
public:
    // `lines`: competence evaluation lines, whose record type is COD_REGI.
    HolderRecordsSink(QHash<double, engine::EmployeeRecords> &records,
                      engine::CategoryRecords engine::EmployeeRecords::*category, bool lines,
                      const engine::ProfileKeys &profile);

    void fields(const QList<protocol::FieldDesc> &fields) override;
    void row(const protocol::RowCells &cells) override;

private:
    int column(const QString &name) const;
    QVariant stored(const protocol::RowCells &cells, int at) const;

    QHash<double, engine::EmployeeRecords> &m_records;
    engine::CategoryRecords engine::EmployeeRecords::*m_category;
    bool m_lines;
    const engine::ProfileKeys &m_profile;
    QList<protocol::FieldDesc> m_fields;
    int m_code = 0, m_type = 0, m_requirement = 0, m_detail = 0, m_obtained = 0;
    engine::CategoryRecords *m_target = nullptr;   // the current employee's list
    double m_employee = 0;
};

