#pragma once
// Test support: a freshly seeded database in a temporary folder, and the session that points the
// module's connection at it (the local transport, user ADMIN, the given company).

#include "framework/Session.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The session of the user ADMIN in `company` on the local transport over the SQLite file at `path`
// (the transport installed for the process).
Session localSession(const QString &path, int company);

// Runs `sql` on the SQLite file at `path` over a connection of its own: each row's values joined
// by `separator`, or the one line "ERROR: <text>" when the statement fails.
QStringList querySqlite(const QString &path, const QString &sql, QChar separator = QLatin1Char('|'));
// Runs `statements` in turn on the PostgreSQL database `conninfo` names (QACSEMAF_PG when empty)
// over a connection of its own: the rows of the last as querySqlite gives them, or the one line
// "ERROR: <text>" for the first that fails.
QStringList queryPostgres(const QStringList &statements, const QString &conninfo = {});

class DemoDatabase {
public:
    // The demo world, or a synthetic company of `employees` active contracts when positive.
    explicit DemoDatabase(int employees = 0);

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString path() const { return m_path; }

    // The session of the user ADMIN in `company` over this database.
    Session session(int company) const { return localSession(m_path, company); }

    // Direct SQL on the file, for facts the module does not write and for expected rows.
    QStringList query(const QString &sql, QChar separator = QLatin1Char('|')) const
    {
        return querySqlite(m_path, sql, separator);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_error;
};
