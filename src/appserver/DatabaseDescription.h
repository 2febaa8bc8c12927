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

    static DatabaseDescription sqlite(const QString &filePath);
    static DatabaseDescription postgres(const QString &host, int port, const QString &databaseName,
                                        const QString &user = {}, const QString &password = {});

    // "host=db port=5432 dbname=rrhh user=app password=secret" (keys in any order; host and
    // dbname required). Returns false and fills error when the text cannot be understood.
    static bool fromKeywords(const QString &text, DatabaseDescription *out, QString *error);

    // "host[:port]" as a connection names its server.
    static bool fromServerAndName(const QString &server, const QString &databaseName,
                                  DatabaseDescription *out, QString *error);

    // For messages: never contains the password.
    QString displayName() const;
};

} // namespace appserver
