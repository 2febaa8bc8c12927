#include "tools/dbtools/DemoSeeder.h"

#include "tools/dbtools/DbText.h"
#include "tools/dbtools/DemoRandom.h"
#include "tools/dbtools/DemoWorld.h"
#include "tools/dbtools/SchemaLoader.h"
#include "tools/dbtools/SeedWriter.h"
#include "tools/dbtools/SiteEngine.h"
#include "tools/dbtools/SyntheticWorld.h"

#include <QSqlError>
#include <QSqlQuery>

namespace dbtools {

namespace {

void runOrThrow(QSqlQuery &query, const QString &statement)
{
    if (!query.exec(statement))
        throw SeedError(QStringLiteral("%1: %2").arg(statement.section(QLatin1Char('\n'), 0, 0),
                                                     query.lastError().text()));
}

// The seed fills tables SchemaLoader has just created. An index built once over the finished
// table costs a fraction of one kept up to date row by row, so the secondary indexes are dropped
// before the rows and made again after them, inside the seed's transaction; then the engine
// brings its statistics up to date where it plans by them.
template <class Fill>
void withIndexesAfterRows(const QSqlDatabase &db, Fill fill)
{
    QSqlQuery query(db);
    for (const QString &index : SchemaLoader::indexNames())
        runOrThrow(query, QStringLiteral("DROP INDEX IF EXISTS %1").arg(index));
    fill();
    const SiteEngine &engine = SiteEngine::of(db);
    for (const QString &statement : SchemaLoader::indexStatements())
        runOrThrow(query, engine.dialect(statement));
    engine.afterBulkLoad(db, SchemaLoader::tableNames());
}

} // namespace

DemoSeeder::DemoSeeder(const QSqlDatabase &db) : m_db(db) {}

DbOutcome DemoSeeder::inTransaction(const std::function<void(SeedWriter &)> &fill)
{
    m_counts.clear();
    if (!m_db.isOpen())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "La base de datos no está abierta")));
    if (!m_outer && !m_db.transaction())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede iniciar la transacción de la carga: %1"))
                                      .arg(m_db.lastError().text()));
    QMap<QString, int> counts;
    try {
        withIndexesAfterRows(m_db, [&] {
            SeedWriter writer(m_db);
            fill(writer);
            writer.flush();
            counts = writer.counts();
        });
    } catch (const SeedError &error) {
        if (!m_outer)
            m_db.rollback();
        return DbOutcome::failure(error.message());
    }
    if (!m_outer && !m_db.commit()) {
        const QString error = m_db.lastError().text();
        m_db.rollback();
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede confirmar la carga: %1")).arg(error));
    }
    m_counts = counts;
    return DbOutcome::success();
}

DbOutcome DemoSeeder::seedDemo()
{
    return inTransaction([](SeedWriter &writer) {
        DemoRandom random(DemoSeed);
        DemoWorld(writer, random).build();
    });
}

DbOutcome DemoSeeder::seedSynthetic(int employees)
{
    if (employees < 1)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "La empresa sintética necesita al menos un empleado")));
    return inTransaction([employees](SeedWriter &writer) {
        DemoRandom random(DemoSeed + quint64(employees));
        SyntheticWorld(writer, random, employees).build();
    });
}

} // namespace dbtools
