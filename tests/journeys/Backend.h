#pragma once
// The database a journey runs on, behind a real qacsemaf-server: the demo world seeded into a
// fresh SQLite file, or into the scratch PostgreSQL database QACSEMAF_PG names (seeded with
// `qacsemaf seed --pg --force`, as the other PostgreSQL tests seed it). It also answers the direct
// queries a journey compares the window with, on the same database the server uses.

#include "tests/support/DemoDatabase.h"

#include <QString>
#include <QStringList>
#include <memory>

class Backend {
public:
    enum Kind { Sqlite, Postgres };
    explicit Backend(Kind kind) : m_kind(kind) {}
    ~Backend();

    // Empty on success, else why the database is not there.
    QString prepare(const QString &tool);
    // The server's database arguments.
    QStringList serverArguments() const;
    // The engine the server names ("SQLITE", "POSTGRES").
    QString engineName() const { return m_kind == Sqlite ? QStringLiteral("SQLITE") : QStringLiteral("POSTGRES"); }
    QString name() const { return m_kind == Sqlite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL"); }

    // Each row's values joined by '|'; one "ERROR: ..." line when the statement fails.
    QStringList query(const QString &sql) const;

private:
    Kind m_kind;
    std::unique_ptr<DemoDatabase> m_sqlite;
    QString m_pg;
};
