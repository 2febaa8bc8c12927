#pragma once
// The mark `qacsemaf migrate` holds on a database while it works on it, which a running server
// looks at before a request to answer "in maintenance" meanwhile. The mark is a lock held by the
// migrating process, nothing written in the database: it ends with the process, also with one
// that crashed or was killed, so it can never be left behind.
// SQLite: an exclusive flock on the file "<database>-migrate.lock" beside the database (made and
// removed by the migration); PostgreSQL: a session advisory lock of the database, which any role
// sees in pg_locks without being allowed to take it.

#include <QSqlDatabase>
#include <QString>
#include <memory>

class QFile;
class QSqlQuery;

namespace appserver {

class MaintenanceMark {
public:
    MaintenanceMark();
    ~MaintenanceMark();
    MaintenanceMark(const MaintenanceMark &) = delete;
    MaintenanceMark &operator=(const MaintenanceMark &) = delete;

    // Takes the mark of the open database `db` (QSQLITE or QPSQL), waiting while another
    // migration holds it; empty, or why not.
    QString take(QSqlDatabase db);
    // Gives the mark back (also done when the object goes).
    void release();

    // Whether some process holds the mark of the SQLite file `databaseFile`.
    static bool heldOnFile(const QString &databaseFile);
    // Whether some session holds the mark of the database `query` is connected to (PostgreSQL);
    // empty, or why it could not be read.
    static QString heldOnPostgres(QSqlQuery &query, bool *held);

    static QString lockFileOf(const QString &databaseFile);

private:
    std::unique_ptr<QFile> m_file;
    QSqlDatabase m_db;
};

} // namespace appserver
