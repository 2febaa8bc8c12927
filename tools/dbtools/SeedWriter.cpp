#include "SeedWriter.h"

#include "SchemaLoader.h"

#include <QDateTime>
#include <QSqlError>
#include <algorithm>

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

// Rows per batch, within PostgreSQL's limit of 65535 parameters per statement.
int batchRows(int columns)
{
    return std::min(500, 65535 / std::max(columns, 1));
}

} // namespace

SeedWriter::SeedWriter(const QSqlDatabase &db)
    : m_db(db), m_sqlite(db.driverName() == QLatin1String("QSQLITE"))
{
}

SeedWriter::~SeedWriter() = default;

QSqlQuery &SeedWriter::statementFor(const QString &table, int valueCount)
{
    auto found = m_statements.find(table);
    if (found != m_statements.end())
        return **found;
    const QStringList columns = SchemaLoader::columns(table);
    if (columns.isEmpty())
        throw SeedError(QStringLiteral("Unknown table %1").arg(table));
    if (columns.size() != valueCount)
        throw SeedError(QStringLiteral("%1 has %2 columns, %3 values given")
                            .arg(table).arg(columns.size()).arg(valueCount));
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    auto query = std::make_shared<QSqlQuery>(m_db);
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    if (!query->prepare(sql))
        throw SeedError(QStringLiteral("Cannot prepare the insert into %1: %2")
                            .arg(table, query->lastError().text()));
    m_counts.insert(table, 0);
    m_columnCounts.insert(table, int(columns.size()));
    return **m_statements.insert(table, query);
}

void SeedWriter::insert(const QString &table, const QVariantList &values)
{
    QSqlQuery &query = statementFor(table, int(values.size()));
    if (m_columnCounts.value(table) != values.size())
        throw SeedError(QStringLiteral("%1 has %2 columns, %3 values given")
                            .arg(table).arg(m_columnCounts.value(table)).arg(values.size()));
    if (!m_sqlite) {
        QVariantList &pending = m_pending[table];
        pending += values;
        ++m_counts[table];
        if (pending.size() >= batchRows(int(values.size())) * values.size())
            flushTable(table);
        return;
    }
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, sqliteValue(values.at(i)));
    if (!query.exec())
        throw SeedError(QStringLiteral("Insert into %1 failed: %2")
                            .arg(table, query.lastError().text()));
    ++m_counts[table];
}

void SeedWriter::flush()
{
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it)
        flushTable(it.key());
}

void SeedWriter::flushTable(const QString &table)
{
    QVariantList &pending = m_pending[table];
    const int columns = m_columnCounts.value(table);
    if (pending.isEmpty() || columns == 0)
        return;
    const int rows = int(pending.size()) / columns;
    QSqlQuery &query = batchStatementFor(table, rows);
    for (int i = 0; i < pending.size(); ++i)
        query.bindValue(i, pending.at(i));
    if (!query.exec())
        throw SeedError(QStringLiteral("Insert into %1 failed: %2").arg(table, query.lastError().text()));
    pending.clear();
}

// A full batch reuses its prepared statement; the last, shorter one of a table gets its own.
QSqlQuery &SeedWriter::batchStatementFor(const QString &table, int rows)
{
    const QString key = table + QLatin1Char('/') + QString::number(rows);
    if (auto found = m_batchStatements.find(key); found != m_batchStatements.end())
        return **found;
    const QStringList columns = SchemaLoader::columns(table);
    const QString row = QLatin1Char('(') + QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(','))
                        + QLatin1Char(')');
    auto query = std::make_shared<QSqlQuery>(m_db);
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
                            .arg(table, columns.join(QLatin1Char(',')), QStringList(rows, row).join(QLatin1Char(',')));
    if (!query->prepare(sql))
        throw SeedError(QStringLiteral("Cannot prepare the insert into %1: %2").arg(table, query->lastError().text()));
    return **m_batchStatements.insert(key, query);
}

} // namespace dbtools
