#include "tools/dbtools/SeedWriter.h"

#include "tools/dbtools/DbText.h"
#include "tools/dbtools/SchemaLoader.h"
#include "tools/dbtools/SiteEngine.h"

namespace dbtools {

SeedWriter::SeedWriter(const QSqlDatabase &db) : m_sink(SiteEngine::of(db).rowSink(db)) {}

SeedWriter::~SeedWriter() = default;

SeedWriter::Table &SeedWriter::tableFor(const QString &table, int valueCount)
{
    auto found = m_tables.find(table);
    if (found == m_tables.end()) {
        const QStringList columns = SchemaLoader::columns(table);
        if (columns.isEmpty())
            throw SeedError(dbText(QT_TRANSLATE_NOOP("qacsemaf", "Tabla desconocida %1")).arg(table));
        found = m_tables.insert(table, Table{columns, 0});
    }
    if (found->columns.size() != valueCount)
        throw SeedError(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 tiene %2 columnas y se dieron %3 valores"))
                            .arg(table).arg(found->columns.size()).arg(valueCount));
    return *found;
}

QMap<QString, int> SeedWriter::counts() const
{
    QMap<QString, int> counts;
    for (auto it = m_tables.cbegin(); it != m_tables.cend(); ++it)
        counts.insert(it.key(), it->count);
    return counts;
}

void SeedWriter::insert(const QString &table, const QVariantList &values)
{
    Table &found = tableFor(table, int(values.size()));
    m_sink->append(table, found.columns, values);
    ++found.count;
}

void SeedWriter::flush()
{
    m_sink->flush();
}

} // namespace dbtools
