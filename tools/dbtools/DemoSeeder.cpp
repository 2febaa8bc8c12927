#include "tools/dbtools/DemoSeeder.h"

#include "tools/dbtools/DemoRandom.h"
#include "tools/dbtools/DemoWorld.h"
#include "tools/dbtools/SeedWriter.h"
#include "tools/dbtools/SyntheticWorld.h"

#include <QSqlError>

namespace dbtools {

DemoSeeder::DemoSeeder(const QSqlDatabase &db) : m_db(db) {}

DbOutcome DemoSeeder::inTransaction(const std::function<void(SeedWriter &)> &fill)
{
    m_counts.clear();
    if (!m_db.isOpen())
        return DbOutcome::failure(QStringLiteral("The database is not open"));
    if (!m_outer && !m_db.transaction())
        return DbOutcome::failure(QStringLiteral("Cannot begin the seed transaction: %1")
                                      .arg(m_db.lastError().text()));
    QMap<QString, int> counts;
    try {
        SeedWriter writer(m_db);
        fill(writer);
        writer.flush();
        counts = writer.counts();
    } catch (const SeedError &error) {
        if (!m_outer)
            m_db.rollback();
        return DbOutcome::failure(error.message());
    }
    if (!m_outer && !m_db.commit()) {
        const QString error = m_db.lastError().text();
        m_db.rollback();
        return DbOutcome::failure(QStringLiteral("Cannot commit the seed: %1").arg(error));
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
        return DbOutcome::failure(QStringLiteral("The synthetic company needs at least one employee"));
    return inTransaction([employees](SeedWriter &writer) {
        DemoRandom random(DemoSeed + quint64(employees));
        SyntheticWorld(writer, random, employees).build();
    });
}

} // namespace dbtools
