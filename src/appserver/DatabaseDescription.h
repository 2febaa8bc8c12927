#pragma once
// Where the application server keeps its data: an SQLite file, or a PostgreSQL database.
// Parsed from the texts that name a database (a file path, or a libpq-style keyword list).

#include <QString>

namespace appserver {

struct DatabaseDescription {
    enum class Engine { Sqlite, Postgres };

    Engine engine = Engine::Sqlite;
    QString filePath;      // SQLite
    QString host;          // PostgreSQL; empty user/password fall back on PGUSER/PGPASSWORD
    int port = 5432;
    QString databaseName;
    QString user;
    QString password;
    // PostgreSQL: fetches log in as a role that may only select (created by `seed`), so the
    // database itself refuses a write that reaches the read path. Empty password: the writer's.
    QString readerUser = defaultReaderUser();
    QString readerPassword;
    // PostgreSQL: the role applies act as (the writer's login switches to it when it may), so that
    // row security by company holds for writes too. Created by `seed`, without a login of its own.
    QString writerRole = defaultWriterRole();
    // PostgreSQL: a statement or a wait for a locked row gives up after this long.
    int statementTimeoutMs = 60000;
    int lockTimeoutMs = 5000;

    static QString defaultReaderUser() { return QStringLiteral("qacsemaf_lector"); }
    static QString defaultWriterRole() { return QStringLiteral("qacsemaf_escritor"); }

    static DatabaseDescription sqlite(const QString &filePath);
    static DatabaseDescription postgres(const QString &host, int port, const QString &databaseName,
                                        const QString &user = {}, const QString &password = {});

    // "host=db port=5432 dbname=rrhh user=app password=secret" (keys in any order; host and
    // dbname required; optional readuser, readpassword, writerole, statement_timeout and
    // lock_timeout in milliseconds). Returns false and fills error when the text cannot be understood.
    static bool fromKeywords(const QString &text, DatabaseDescription *out, QString *error);

    // "host[:port]" as a connection names its server.
    static bool fromServerAndName(const QString &server, const QString &databaseName,
                                  DatabaseDescription *out, QString *error);

    // For messages: never contains the password.
    QString displayName() const;
};

} // namespace appserver
