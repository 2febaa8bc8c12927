#include "tools/dbtools/SiteEngine.h"

#include "tools/dbtools/PostgresSite.h"
#include "tools/dbtools/SqliteSite.h"

namespace dbtools {

const QList<const SiteEngine *> &SiteEngine::all()
{
    static const SqliteSite sqlite;
    static const PostgresSite postgres;
    static const QList<const SiteEngine *> engines{&sqlite, &postgres};
    return engines;
}

const SiteEngine *SiteEngine::forDriver(const QString &driverName)
{
    for (const SiteEngine *engine : all())
        if (engine->driverName() == driverName)
            return engine;
    return nullptr;
}

const SiteEngine &SiteEngine::of(const QSqlDatabase &db)
{
    const SiteEngine *engine = forDriver(db.driverName());
    return engine ? *engine : *all().first();
}

} // namespace dbtools
