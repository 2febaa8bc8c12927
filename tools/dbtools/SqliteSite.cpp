#include "tools/dbtools/SqliteSite.h"

#include "appserver/SqliteBinding.h"
#include "tools/dbtools/DbText.h"
#include "tools/dbtools/PgStatements.h"
#include "tools/dbtools/SeedWriter.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <map>
#include <memory>

#include <sqlite3.h>

namespace dbtools {

namespace {

struct SqliteInsert {
    sqlite3_stmt *statement = nullptr;
    ~SqliteInsert() { sqlite3_finalize(statement); }
};

// One prepared insert per table, kept for the whole seed.
class SqliteRows final : public RowSink {
public:
    explicit SqliteRows(const QSqlDatabase &db) : m_db(db)
    {
        // The whole seed is one transaction: with SQLite's default page cache (2 MB) its pages
        // spill into the write-ahead log long before the commit and are read back for every
        // index update. The cache grows as the rows need it, up to this (a connection's setting,
        // not the file's).
        QSqlQuery(m_db).exec(QStringLiteral("PRAGMA cache_size = -262144"));
    }

    void append(const QString &table, const QStringList &columns, const QVariantList &values) override
    {
        sqlite3_stmt *statement = statementFor(table, columns).statement;
        int result = SQLITE_OK;
        for (int i = 0; i < values.size() && result == SQLITE_OK; ++i)
            result = appserver::bindSqliteValue(statement, i + 1, values.at(i));
        if (result == SQLITE_OK)
            result = sqlite3_step(statement);
        if (result != SQLITE_DONE) {
            const QString error = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement)));
            sqlite3_reset(statement);
            throw SeedError(dbText(QT_TRANSLATE_NOOP("qacsemaf", "Falló la inserción en %1: %2")).arg(table, error));
        }
        sqlite3_reset(statement);
    }

    void flush() override {}

private:
    SqliteInsert &statementFor(const QString &name, const QStringList &columns)
    {
        std::unique_ptr<SqliteInsert> &insert = m_inserts[name];
        if (insert)
            return *insert;
        sqlite3 *handle = appserver::sqliteHandle(m_db);
        if (!handle)
            throw SeedError(dbText(QT_TRANSLATE_NOOP("qacsemaf", "La conexión SQLite de %1 no está abierta")).arg(name));
        QStringList texts;
        const DbOutcome composed = PgStatements::texts(
            QStringLiteral("InsertarFila"),
            {{QStringLiteral("tabla"), name.toLower()},
             {QStringLiteral("columnas"), columns.join(QStringLiteral(", ")).toLower()},
             {QStringLiteral("valores"), QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))}},
            &texts);
        if (!composed.ok())
            throw SeedError(composed.error);
        const QByteArray sql = texts.value(0).toUtf8();
        auto prepared = std::make_unique<SqliteInsert>();
        if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &prepared->statement, nullptr) != SQLITE_OK)
            throw SeedError(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede preparar la inserción en %1: %2"))
                                .arg(name, QString::fromUtf8(sqlite3_errmsg(handle))));
        insert = std::move(prepared);
        return *insert;
    }

    QSqlDatabase m_db;
    std::map<QString, std::unique_ptr<SqliteInsert>> m_inserts;
};

} // namespace

QString SqliteSite::driverName() const
{
    return QStringLiteral("QSQLITE");
}

QString SqliteSite::migrationEnding() const
{
    return QStringLiteral(".sqlite.sql");
}

QString SqliteSite::dialect(const QString &statement) const
{
    // COUNTER: a key the database numbers itself when an insert leaves it out. A column declared
    // exactly "integer" that is the primary key is the row's own number.
    static const QRegularExpression counter(QStringLiteral("\\bCOUNTER\\b"));
    return QString(statement).replace(counter, QStringLiteral("integer"));
}

QStringList SqliteSite::tables(const QSqlDatabase &db) const
{
    return db.tables();
}

DbOutcome SqliteSite::settleSchema(const QSqlDatabase &db) const
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=DELETE")) || !query.next())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se pudo pasar la base de datos al diario de reversión: %1"))
                                      .arg(query.lastError().text()));
    const QString mode = query.value(0).toString().toLower();
    // An in-memory database has no journal file and keeps its "memory" mode.
    if (mode != QLatin1String("delete") && mode != QLatin1String("memory"))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "La base de datos sigue en el modo de diario %1 en lugar de DELETE "
                                                 "(¿otro programa la tiene abierta?)"))
                                      .arg(mode));
    return DbOutcome::success();
}

std::unique_ptr<RowSink> SqliteSite::rowSink(const QSqlDatabase &db) const
{
    return std::make_unique<SqliteRows>(db);
}

void SqliteSite::afterBulkLoad(const QSqlDatabase &, const QStringList &) const {}

DbOutcome SqliteSite::setUpAccess(QSqlDatabase &, const QString &, const QString &) const
{
    return DbOutcome::success();
}

} // namespace dbtools
