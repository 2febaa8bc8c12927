#pragma once
// The in-process transport: the application-server core runs inside the client on a database
// it opens itself (an SQLite file, or PostgreSQL). The default for the demo and most tests.
// The core stays behind this class: what the workstation sees of it is the protocol. It is a
// target of its own, so that the framework links no server: a program that offers the "local"
// and "pgsql" protocols links it and calls install() once.

#include "framework/connection/ITransport.h"

#include <memory>

class LocalTransport : public ITransport {
public:
    // From now on the connections of this program open "local" and "pgsql" sessions with this
    // transport (see SDCOMConnection::setInProcessTransports).
    static void install();
    // The SQLite file at filePath. Both throw EDatabaseError with the reason when the database
    // cannot be opened.
    static std::unique_ptr<LocalTransport> onSqlite(const QString &filePath);
    // PostgreSQL on server "host[:port]", the database of that name. The login comes from
    // PGUSER/PGPASSWORD (as libpq reads them); the reading login's password from
    // QACSEMAF_PG_READ_PASSWORD; the other keys of a connection text (readuser=, readpassword=,
    // writerole=, statement_timeout=, lock_timeout=) from QACSEMAF_PG_OPTIONS.
    static std::unique_ptr<LocalTransport> onPostgres(const QString &server, const QString &databaseName);
    ~LocalTransport() override;

    protocol::FetchResult fetch(const protocol::FetchRequest &request) override;
    QString fetchEach(const protocol::FetchRequest &request, protocol::RowSink &sink) override;
    protocol::ApplyResult apply(const protocol::ApplyRequest &request) override;
    protocol::MethodResult call(const protocol::MethodCall &call) override;
    // The policy's minimum length is the default one: the embedded database has no server settings.
    QString changePassword(const protocol::Credentials &session, const QString &current, const QString &next) override;

private:
    struct Core;
    explicit LocalTransport(std::unique_ptr<Core> core);

    std::unique_ptr<Core> m_core;
};
