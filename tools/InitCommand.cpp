#include "tools/InitCommand.h"

#include "appserver/SchemaVersion.h"
#include "tools/CommandLine.h"
#include "tools/PasswordPrompt.h"
#include "tools/SiteDatabase.h"
#include "tools/SiteOptions.h"
#include "tools/dbtools/DatabaseOpener.h"
#include "tools/dbtools/SchemaLoader.h"
#include "tools/dbtools/SiteEngine.h"
#include "tools/dbtools/UserStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace dbtools;

namespace {

const QString kInitConnection = QStringLiteral("qacsemaf-init");

UserStore::User firstAdministrator(const QString &name)
{
    UserStore::User admin;
    admin.name = name;
    admin.type = QStringLiteral("A");
    admin.fullName = QStringLiteral("Administrador del sistema");   // a row of the suite, kept in Spanish
    return admin;
}

// An SQLite file counts as empty when it has no bytes or no table at all.
DbOutcome checkEmptyFile(const QString &file)
{
    const QFileInfo info(file);
    if (!info.exists() || info.size() == 0)
        return DbOutcome::success();
    const QString probe = kInitConnection + QStringLiteral("-probe");
    int objects = -1;   // stays so for a file that is no SQLite database
    {
        if (const DbOutcome opened = DatabaseOpener::openSqlite(file, probe); !opened.ok())
            return opened;
        QSqlQuery query(QSqlDatabase::database(probe, false));
        if (query.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")) && query.next())
            objects = query.value(0).toInt();
        query.finish();
        QSqlDatabase::database(probe, false).close();
    }
    QSqlDatabase::removeDatabase(probe);
    if (objects < 0)
        return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 ya existe y no es una base de datos SQLite; init no lo reemplaza"))
                                      .arg(file));
    if (objects > 0)
        return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 ya existe y no está vacía; init solo crea "
                                                                               "bases nuevas: para ponerla al día use "
                                                                               "qacsemaf migrate"))
                                      .arg(file));
    return DbOutcome::success();
}

// Built in a file of its own beside the target and renamed over it only when complete.
DbOutcome initSqlite(const QString &file, const UserStore::User &admin, const QString &password)
{
    if (const DbOutcome empty = checkEmptyFile(file); !empty.ok())
        return empty;
    const QFileInfo info(file);
    const QString built = info.absoluteDir().filePath(
        QStringLiteral(".%1.init-%2").arg(info.fileName()).arg(QCoreApplication::applicationPid()));
    QFile::remove(built);
    DbOutcome outcome = DatabaseOpener::openSqlite(built, kInitConnection);
    if (outcome.ok()) {
        QSqlDatabase db = QSqlDatabase::database(kInitConnection, false);
        outcome = SchemaLoader(db).create();
        if (outcome.ok())
            outcome = UserStore(db).add(admin, password);
        db.close();
    }
    QSqlDatabase::removeDatabase(kInitConnection);
    if (outcome.ok() && std::rename(QFile::encodeName(built).constData(), QFile::encodeName(file).constData()) != 0)
        outcome = DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo renombrar %1 como %2: %3"))
                                         .arg(built, file, QString::fromLocal8Bit(std::strerror(errno))));
    if (!outcome.ok())
        QFile::remove(built);
    return outcome;
}

// One transaction: the tables, the administrator and the roles, or nothing.
DbOutcome initPostgres(const SiteOptions &options, const UserStore::User &admin, const QString &password)
{
    SiteDatabase site(kInitConnection);
    if (const DbOutcome opened = site.openExisting(options); !opened.ok())
        return opened;
    QSqlDatabase db = site.db();
    SchemaLoader loader(db);
    if (const QStringList existing = loader.existingTables(); !existing.isEmpty())
        return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 ya tiene %2 de las tablas del módulo (%3 ...); "
                                                                               "init solo prepara bases vacías: para "
                                                                               "ponerla al día use qacsemaf migrate"))
                                      .arg(site.displayName()).arg(existing.size()).arg(existing.first()));
    if (!db.transaction())
        return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo empezar la transacción: %1")).arg(db.lastError().text()));
    loader.joinTransaction();
    UserStore users(db);
    users.joinTransaction();
    DbOutcome outcome = loader.create();
    if (outcome.ok())
        outcome = users.add(admin, password);
    if (outcome.ok())
        outcome = SiteEngine::of(db).setUpAccess(db, options.connInfo, options.readerPassword);
    if (outcome.ok() && !db.commit())
        outcome = DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo confirmar la transacción: %1")).arg(db.lastError().text()));
    if (!outcome.ok())
        db.rollback();
    return outcome;
}

} // namespace

int runInitCommand(const QStringList &arguments)
{
    CommandLine line(arguments.value(0),
                     cliText(QT_TRANSLATE_NOOP("qacsemaf", "Crea una base de datos vacía del módulo, en la versión actual "
                                                           "del esquema, con su primer administrador. La contraseña se "
                                                           "pide en la terminal, sin eco, o se lee de la primera línea de "
                                                           "la entrada estándar; nunca como argumento.")));
    SiteOptions::addPlaceTo(line);
    SiteOptions::addReadPasswordTo(line);
    line.add({{QStringLiteral("admin"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Nombre del primer administrador.")),
               cliText(QT_TRANSLATE_NOOP("qacsemaf", "nombre")), QStringLiteral("ADMIN")}});
    SiteOptions options;
    UserStore::User admin;
    try {
        line.parse(arguments);
        options = SiteOptions::read(line, SiteOptions::File::MayBeNew);
        options.readReaderPassword(line);
        admin = firstAdministrator(line.value(QStringLiteral("admin")));
        if (const QString refused = UserStore::nameRefusal(admin.name); !refused.isEmpty())
            throw UsageError(QStringLiteral("--admin: %1").arg(refused));
    } catch (const UsageError &error) {
        return reportUsageError(error, arguments.value(0));
    }
    QString password;
    if (const QString refused = PasswordPrompt::read(admin.name, &password); !refused.isEmpty())
        return reportFailure(refused);
    const DbOutcome outcome = options.isPostgres() ? initPostgres(options, admin, password)
                                                   : initSqlite(options.file, admin, password);
    if (!outcome.ok())
        return reportFailure(outcome.error);
    for (const QString &notice : outcome.notices)
        QTextStream(stderr) << "qacsemaf: " << cliText(QT_TRANSLATE_NOOP("qacsemaf", "aviso: %1")).arg(notice) << '\n';
    QTextStream(stdout) << "qacsemaf: " << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Base de datos creada en %1, versión %2 del esquema, "
                                                                 "con el administrador %3."))
                               .arg(options.isPostgres() ? QStringLiteral("PostgreSQL") : options.file)
                               .arg(appserver::SchemaVersion::current())
                               .arg(admin.name)
                        << '\n';
    return 0;
}
