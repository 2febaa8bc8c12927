#include "tools/dbtools/SqliteBackup.h"

#include "appserver/SchemaVersion.h"
#include "tools/dbtools/DbText.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace dbtools {

namespace {

// Owns one SQLite connection.
class SqliteHandle {
public:
    SqliteHandle(const QString &file, int flags) { m_status = sqlite3_open_v2(QFile::encodeName(file).constData(), &m_db, flags, nullptr); }
    ~SqliteHandle() { sqlite3_close(m_db); }
    SqliteHandle(const SqliteHandle &) = delete;
    SqliteHandle &operator=(const SqliteHandle &) = delete;
    bool ok() const { return m_status == SQLITE_OK; }
    sqlite3 *get() const { return m_db; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(m_db)); }

private:
    sqlite3 *m_db = nullptr;
    int m_status = SQLITE_ERROR;
};

// How long the copy waits for a writer that holds the file before it gives up.
constexpr int kBusyWaitMs = 30000;
constexpr int kBusyStepMs = 50;

bool isModuleDatabase(sqlite3 *db)
{
    sqlite3_stmt *statement = nullptr;
    bool found = false;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND upper(name) = 'GN_USUAR'", -1,
                           &statement, nullptr) == SQLITE_OK)
        found = sqlite3_step(statement) == SQLITE_ROW;
    sqlite3_finalize(statement);
    return found;
}

DbOutcome copyPages(sqlite3 *from, sqlite3 *to, int *pages)
{
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo empezar la copia: %1")).arg(QString::fromUtf8(sqlite3_errmsg(to))));
    int status = SQLITE_OK;
    int waited = 0;
    // All pages in one step, under one read lock of the source: a copy of one moment.
    while ((status = sqlite3_backup_step(backup, -1)) == SQLITE_BUSY || status == SQLITE_LOCKED) {
        if (waited >= kBusyWaitMs)
            break;
        QThread::msleep(kBusyStepMs);
        waited += kBusyStepMs;
    }
    *pages = sqlite3_backup_pagecount(backup);
    sqlite3_backup_finish(backup);
    if (status != SQLITE_DONE)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "la copia no terminó: %1")).arg(QString::fromUtf8(sqlite3_errstr(status))));
    return DbOutcome::success();
}

// Writes what `from` holds into the new file `target`, through a file of its own beside it that
// takes the target's name only when complete, in the rollback journal.
DbOutcome writeNewFile(sqlite3 *from, const QString &target, int *pages)
{
    const QFileInfo info(target);
    const QString partial = info.absoluteDir().filePath(QStringLiteral(".%1.part").arg(info.fileName()));
    QFile::remove(partial);
    DbOutcome outcome;
    {
        SqliteHandle to(partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (!to.ok())
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo crear %1: %2")).arg(partial, to.error()));
        outcome = copyPages(from, to.get(), pages);
        // The copy takes the source's journal mode; it is a file to keep, with nothing beside it.
        if (outcome.ok() && sqlite3_exec(to.get(), "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK)
            outcome = DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo preparar la copia: %1")).arg(to.error()));
    }
    if (outcome.ok() && std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(target).constData()) != 0)
        outcome = DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo renombrar %1 como %2: %3"))
                                         .arg(partial, target, QString::fromLocal8Bit(std::strerror(errno))));
    if (!outcome.ok())
        QFile::remove(partial);
    return outcome;
}

// Whether the file starts as every SQLite database does; an empty file is an empty database.
bool looksLikeSqlite(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = in.read(16);
    return header.isEmpty() || header == QByteArrayLiteral("SQLite format 3\0");
}

// Runs a query of one whole number; false when it fails.
bool readNumber(sqlite3 *db, const char *sql, qint64 *number, bool *isNull = nullptr)
{
    sqlite3_stmt *statement = nullptr;
    bool read = false;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW) {
        *number = sqlite3_column_int64(statement, 0);
        if (isNull)
            *isNull = sqlite3_column_type(statement, 0) == SQLITE_NULL;
        read = true;
    }
    sqlite3_finalize(statement);
    return read;
}

// A copy to restore is opened as a file that cannot change: no lock taken, nothing made beside it.
QString immutableUri(const QString &file)
{
    return QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toString(QUrl::FullyEncoded)
        + QStringLiteral("?mode=ro&immutable=1");
}

DbOutcome openCopy(const QString &copy, std::unique_ptr<SqliteHandle> *handle, int *version)
{
    const QString nothing = dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se restauró nada"));
    if (QFileInfo(copy).size() == 0 || !looksLikeSqlite(copy))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no es una base de datos SQLite; %2")).arg(copy, nothing));
    // Read as a file that cannot change, a copy with its journal beside it would be read without it.
    for (const char *suffix : {"-wal", "-journal"}) {
        if (QFileInfo::exists(copy + QLatin1String(suffix)))
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 tiene a su lado %2: un programa la usa o no la "
                                                                           "cerró bien; cópiela con qacsemaf backup y restaure "
                                                                           "esa copia; %3"))
                                          .arg(copy, copy + QLatin1String(suffix), nothing));
    }
    *handle = std::make_unique<SqliteHandle>(immutableUri(copy), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    sqlite3 *db = (*handle)->get();
    if (!(*handle)->ok())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo abrir %1: %2")).arg(copy, (*handle)->error()));
    qint64 moduleTables = 0;
    if (!readNumber(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND upper(name) IN ('GN_USUAR', 'AC_PPROM')",
                    &moduleTables))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no es una base de datos SQLite que se pueda leer: %2; %3"))
                                      .arg(copy, (*handle)->error(), nothing));
    if (moduleTables != 2)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no es una base de datos de Semáforo de Carrera; %2"))
                                      .arg(copy, nothing));
    // As appserver::SchemaVersion reads it: 1 without the version table, 2 with the table emptied.
    qint64 hasVersionTable = 0;
    qint64 number = 0;
    bool isNull = false;
    *version = 1;
    if (!readNumber(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND upper(name) = 'AC_VERSI'", &hasVersionTable)
        || (hasVersionTable && !readNumber(db, "SELECT MAX(NUM_VERS) FROM AC_VERSI", &number, &isNull)))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo leer la versión del esquema de %1: %2"))
                                      .arg(copy, (*handle)->error()));
    if (hasVersionTable)
        *version = isNull ? 2 : int(number);
    if (*version > appserver::SchemaVersion::current())
        return DbOutcome::failure(appserver::SchemaVersion::refusal(copy, *version) + QLatin1Char(' ')
                                  + dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se restauró nada.")));
    return DbOutcome::success();
}

// The first name free of "<target>.antes-de-restaurar-AAAAMMDD-HHMMSS[-N]".
QString keptFileFor(const QString &target)
{
    const QString stem = target + QStringLiteral(".antes-de-restaurar-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = stem;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = stem + QLatin1Char('-') + QString::number(n);
    return name;
}

bool exec(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}


} // namespace

DbOutcome SqliteBackup::copy(const QString &source, const QString &target, int *pages)
{
    *pages = 0;
    if (!QFileInfo(source).isFile())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "la base de datos %1 no existe")).arg(source));
    if (QFileInfo::exists(target))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 ya existe; la copia no reemplaza archivos")).arg(target));
    if (!QFileInfo(QFileInfo(target).absolutePath()).isDir())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "la carpeta de %1 no existe")).arg(target));
    SqliteHandle from(source, SQLITE_OPEN_READONLY);
    if (!from.ok())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo abrir %1: %2")).arg(source, from.error()));
    sqlite3_busy_timeout(from.get(), kBusyWaitMs);
    if (!isModuleDatabase(from.get()))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no es una base de datos de Semáforo de Carrera")).arg(source));
    return writeNewFile(from.get(), target, pages);
}

DbOutcome SqliteBackup::checkCopy(const QString &copy, int *version)
{
    std::unique_ptr<SqliteHandle> handle;
    return openCopy(copy, &handle, version);
}

DbOutcome SqliteBackup::restore(const QString &copy, const QString &target, int busyWaitMs, Restored *restored)
{
    *restored = {};
    std::unique_ptr<SqliteHandle> from;
    if (const DbOutcome checked = openCopy(copy, &from, &restored->version); !checked.ok())
        return checked;
    int pages = 0;
    if (!QFileInfo::exists(target)) {
        if (!QFileInfo(QFileInfo(target).absolutePath()).isDir())
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "la carpeta de %1 no existe")).arg(target));
        return writeNewFile(from->get(), target, &pages);
    }
    const QString unchanged = dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se cambió nada"));
    if (!looksLikeSqlite(target))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no es una base de datos SQLite; %2")).arg(target, unchanged));
    SqliteHandle to(target, SQLITE_OPEN_READWRITE);
    if (!to.ok())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo abrir %1: %2")).arg(target, to.error()));
    // In exclusive locking mode the lock the transaction takes stays with this connection until it
    // closes: nobody else reads or writes the target between keeping its content and replacing it.
    sqlite3_busy_timeout(to.get(), busyWaitMs);
    if (!exec(to.get(), "PRAGMA locking_mode=EXCLUSIVE") || !exec(to.get(), "BEGIN EXCLUSIVE")) {
        const int status = sqlite3_errcode(to.get());
        if (status == SQLITE_BUSY || status == SQLITE_LOCKED)
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 está ocupada: un servidor o un puesto la usó "
                                                                           "durante los %2 segundos de espera; %3. Intente de "
                                                                           "nuevo con nadie trabajando en ella"))
                                          .arg(target).arg(busyWaitMs / 1000).arg(unchanged));
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo bloquear %1: %2; %3")).arg(target, to.error(), unchanged));
    }
    qint64 tables = 0;
    const bool ours = isModuleDatabase(to.get());
    if (!readNumber(to.get(), "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'", &tables)) {
        const QString error = to.error();
        exec(to.get(), "ROLLBACK");
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no es una base de datos SQLite que se pueda leer: %2; %3"))
                                      .arg(target, error, unchanged));
    }
    if (!exec(to.get(), "COMMIT"))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo bloquear %1: %2; %3")).arg(target, to.error(), unchanged));
    if (!ours && tables > 0)
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no es una base de datos de Semáforo de Carrera; %2"))
                                      .arg(target, unchanged));
    const QString kept = keptFileFor(target);
    if (DbOutcome outcome = writeNewFile(to.get(), kept, &pages); !outcome.ok()) {
        outcome.error = dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo guardar lo que tenía %1: %2; %3")).arg(target, outcome.error, unchanged);
        return outcome;
    }
    // A target in WAL mode takes pages of its own size only; the module's files use the rollback
    // journal anyway, and the copy's page 1 may say WAL: the mode is set before and after.
    DbOutcome outcome = exec(to.get(), "PRAGMA journal_mode=DELETE")
        ? copyPages(from->get(), to.get(), &pages)
        : DbOutcome::failure(to.error());
    if (outcome.ok() && !exec(to.get(), "PRAGMA journal_mode=DELETE"))
        outcome = DbOutcome::failure(to.error());
    if (!outcome.ok()) {
        // The pages go in one transaction of the target, which SQLite rolled back.
        QFile::remove(kept);
        outcome.error = dbText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo restaurar %1: %2; %3")).arg(target, outcome.error, unchanged);
        return outcome;
    }
    restored->kept = kept;
    return outcome;
}

} // namespace dbtools
