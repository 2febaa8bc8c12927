#pragma once
// Indexes declared on an in-memory table. Declaring one changes nothing; a table presents its
// rows in an index's order only once IndexName selects it.

#include <QFlags>
#include <QList>
#include <QString>

enum TIndexOption { ixPrimary = 0x1, ixUnique = 0x2, ixDescending = 0x4, ixCaseInsensitive = 0x8 };
Q_DECLARE_FLAGS(TIndexOptions, TIndexOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TIndexOptions)

struct TIndexDef {
    QString Name;
    QString Fields;       // "A;B"
    TIndexOptions Options;
    QString DescFields;   // fields sorted descending when the whole index is not
};

class TIndexDefs {
public:
    void Add(const QString &name, const QString &fields, TIndexOptions options = {})
    {
        m_defs.append({name, fields, options, QString()});
    }
    void Remove(const QString &name)
    {
        m_defs.removeIf([&](const TIndexDef &def) { return def.Name.compare(name, Qt::CaseInsensitive) == 0; });
    }
    void Clear() { m_defs.clear(); }
    int Count() const { return m_defs.size(); }
    const TIndexDef &Items(int index) const { return m_defs.at(index); }
    const TIndexDef *Find(const QString &name) const
    {
        for (const TIndexDef &def : m_defs)
            if (def.Name.compare(name, Qt::CaseInsensitive) == 0)
                return &def;
        return nullptr;
    }

private:
    QList<TIndexDef> m_defs;
};
