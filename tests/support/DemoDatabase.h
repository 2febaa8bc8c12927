#pragma once
// Test support: a freshly seeded database in a temporary folder, and the session that points the
// module's connection at it (the local transport, user ADMIN, the given company).

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Session globals and current company as the load call and the framework leave them, for the
// user ADMIN on the local transport over the SQLite file at `path` (installed for the process).
void startLocalSession(const QString &path, int company);

// Runs `sql` on the SQLite file at `path` over a connection of its own: each row's values joined
// by `separator`, or the one line "ERROR: <text>" when the statement fails.
QStringList querySqlite(const QString &path, const QString &sql, QChar separator = QLatin1Char('|'));

class DemoDatabase {
public:
    // The demo world, or a synthetic company of `employees` active contracts when positive.
    explicit DemoDatabase(int employees = 0);

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString path() const { return m_path; }

    // Session globals and current company as the load call and the framework leave them.
    void startSession(int company) const;

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
