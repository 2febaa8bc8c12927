#include "tools/dbtools/SeedWriter.h"

#include "tools/dbtools/PgCopyWriter.h"
#include "tools/dbtools/SchemaLoader.h"

#include <QDateTime>
#include <QSqlError>

namespace dbtools {

namespace {

// SQLite keeps dates and times as text. They are written the way the application server writes
// and compares them ("yyyy-MM-dd HH:mm:ss"), so that a seeded row matches on update.
QVariant sqliteValue(const QVariant &value)
{
    if (value.typeId() != QMetaType::QDateTime || value.isNull())
        return value;
    const QDateTime stamp = value.toDateTime();
    return stamp.toString(stamp.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                              : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace

SeedWriter::SeedWriter(const QSqlDatabase &db)
    : m_db(db), m_sqlite(db.driverName() == QLatin1String("QSQLITE"))
{
    if (!m_sqlite) {
        m_copy = std::make_unique<PgCopyWriter>(db);
        return;
    }
    // The whole seed is one transaction: with SQLite's default page cache (2 MB) its pages spill
    // into the write-ahead log long before the commit and are read back for every index update.
    // The cache grows as the rows need it, up to this (a connection's setting, not the file's).
    QSqlQuery(m_db).exec(QStringLiteral("PRAGMA cache_size = -262144"));
}

SeedWriter::~SeedWriter() = default;

const QStringList &SeedWriter::columnsFor(const QString &table, int valueCount)
{
    auto found = m_columns.find(table);
    if (found == m_columns.end()) {
        const QStringList columns = SchemaLoader::columns(table);
        if (columns.isEmpty())
            throw SeedError(QStringLiteral("Unknown table %1").arg(table));
        found = m_columns.insert(table, columns);
        m_counts.insert(table, 0);
    }
    if (found->size() != valueCount)
        throw SeedError(QStringLiteral("%1 has %2 columns, %3 values given")
                            .arg(table).arg(found->size()).arg(valueCount));
    return *found;
}

QSqlQuery &SeedWriter::statementFor(const QString &table)
{
    auto found = m_statements.find(table);
    if (found != m_statements.end())
        return **found;
    const QStringList &columns = m_columns[table];
    auto query = std::make_shared<QSqlQuery>(m_db);
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(table, columns.join(QLatin1Char(',')),
                                 QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')));
    if (!query->prepare(sql))
        throw SeedError(QStringLiteral("Cannot prepare the insert into %1: %2")
                            .arg(table, query->lastError().text()));
    return **m_statements.insert(table, query);
}

void SeedWriter::insert(const QString &table, const QVariantList &values)
{
    const QStringList &columns = columnsFor(table, int(values.size()));
    if (m_copy) {
        m_copy->append(table, columns, values);
        ++m_counts[table];
        return;
    }
    QSqlQuery &query = statementFor(table);
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, sqliteValue(values.at(i)));
    if (!query.exec())
        throw SeedError(QStringLiteral("Insert into %1 failed: %2")
                            .arg(table, query.lastError().text()));
    ++m_counts[table];
}

void SeedWriter::flush()
{
    if (m_copy)
        m_copy->flush();
}

} // namespace dbtools
