#pragma once
// The column definitions of an in-memory table, from which CreateDataSet makes its fields
// when no field was declared in code.

#include "protocol/Protocol.h"

#include <QList>
#include <QString>

struct TFieldDef {
    QString Name;
    protocol::FieldType DataType = protocol::FieldType::Unknown;
    int Size = 0;
    bool Required = false;
};

class TFieldDefs {
public:
    void Add(const QString &name, protocol::FieldType type, int size = 0, bool required = false)
    {
        m_defs.append({name, type, size, required});
    }
    void Clear() { m_defs.clear(); }
    int Count() const { return m_defs.size(); }
    const TFieldDef &Items(int index) const { return m_defs.at(index); }
    const QList<TFieldDef> &list() const { return m_defs; }

private:
    QList<TFieldDef> m_defs;
};
