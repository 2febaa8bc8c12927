#include "framework/localtransport/LocalTransport.h"

#include "appserver/DatabaseDescription.h"
#include "appserver/ServerCore.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"

struct LocalTransport::Core {
    appserver::ServerCore server;

    static std::unique_ptr<Core> open(const appserver::DatabaseDescription &database)
    {
        auto core = std::make_unique<Core>();
        const QString error = core->server.open(database);
        if (!error.isEmpty())
            throw EDatabaseError(error);
        return core;
    }
};

void LocalTransport::install()
{
    SDCOMConnection::setInProcessTransports({&LocalTransport::onSqlite, &LocalTransport::onPostgres});
}

LocalTransport::LocalTransport(std::unique_ptr<Core> core) : m_core(std::move(core)) {}

LocalTransport::~LocalTransport() = default;

std::unique_ptr<LocalTransport> LocalTransport::onSqlite(const QString &filePath)
{
    return std::unique_ptr<LocalTransport>(
        new LocalTransport(Core::open(appserver::DatabaseDescription::sqlite(filePath))));
}

std::unique_ptr<LocalTransport> LocalTransport::onPostgres(const QString &server, const QString &databaseName)
{
    appserver::DatabaseDescription description;
    QString error;
    if (!appserver::DatabaseDescription::fromServerAndName(server, databaseName, &description, &error))
        throw EDatabaseError(error);
    // The load call names only the server and the database; the rest of the connection text
    // (reading login, writer role, time limits) comes from the environment.
    const QString options = qEnvironmentVariable("QACSEMAF_PG_OPTIONS").trimmed();
    if (!options.isEmpty()) {
        const QString full = QStringLiteral("host=%1 port=%2 dbname=%3 %4")
                                 .arg(description.host).arg(description.port).arg(description.databaseName, options);
        if (!appserver::DatabaseDescription::fromKeywords(full, &description, &error))
            throw EDatabaseError(QStringLiteral("QACSEMAF_PG_OPTIONS: %1").arg(error));
    }
    if (const QString readPassword = qEnvironmentVariable("QACSEMAF_PG_READ_PASSWORD"); description.readerPassword.isEmpty())
        description.readerPassword = readPassword;
    return std::unique_ptr<LocalTransport>(new LocalTransport(Core::open(description)));
}

protocol::FetchResult LocalTransport::fetch(const protocol::FetchRequest &request)
{
    return m_core->server.fetch(request);
}

QString LocalTransport::fetchEach(const protocol::FetchRequest &request, protocol::RowSink &sink)
{
    return m_core->server.fetchEach(request, sink);
}

protocol::ApplyResult LocalTransport::apply(const protocol::ApplyRequest &request)
{
    return m_core->server.apply(request);
}

protocol::MethodResult LocalTransport::call(const protocol::MethodCall &call)
{
    return m_core->server.call(call);
}

QString LocalTransport::changePassword(const protocol::Credentials &session, const QString &current, const QString &next)
{
    return m_core->server.changePassword(session, current, next).error;
}
