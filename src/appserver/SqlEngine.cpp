#include "appserver/SqlEngine.h"

#include "appserver/PostgresEngine.h"
#include "appserver/SqliteEngine.h"

namespace appserver {

const SqlEngine &SqlEngine::of(DatabaseDescription::Engine engine)
{
    static const SqliteEngine sqlite;
    static const PostgresEngine postgres;
    switch (engine) {
    case DatabaseDescription::Engine::Postgres: return postgres;
    case DatabaseDescription::Engine::Sqlite: break;
    }
    return sqlite;
}

} // namespace appserver
