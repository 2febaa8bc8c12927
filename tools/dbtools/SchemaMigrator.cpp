#include "tools/dbtools/SchemaMigrator.h"

#include "appserver/SchemaVersion.h"
#include "tools/dbtools/DbText.h"
#include "tools/dbtools/SchemaLoader.h"
#include "tools/dbtools/SiteEngine.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace dbtools {

using appserver::SchemaVersion;

SchemaMigrator::SchemaMigrator(const QSqlDatabase &db) : m_db(db) {}

DbOutcome SchemaMigrator::readVersion(int *version) const
{
    QSqlQuery query(m_db);
    const QString error = SchemaVersion::read(query, SchemaLoader(m_db).existingTables(), version);
    return error.isEmpty() ? DbOutcome::success() : DbOutcome::failure(error);
}

namespace {

// Whether `name` is a migration written for one engine alone.
bool ownToAnEngine(const QString &name)
{
    for (const SiteEngine *engine : SiteEngine::all())
        if (name.endsWith(engine->migrationEnding()))
            return true;
    return false;
}

} // namespace

QString SchemaMigrator::migrationFor(int number, const SiteEngine &engine)
{
    QString shared;
    for (const QString &name : SchemaVersion::migrations()) {
        if (SchemaVersion::numberOf(name) != number)
            continue;
        if (name.endsWith(engine.migrationEnding()))
            return name;
        if (!ownToAnEngine(name))
            shared = name;
    }
    return shared;
}

QStringList SchemaMigrator::statementsOf(const QString &migration, const SiteEngine &engine)
{
    QFile file(SchemaVersion::migrationPath(migration));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression comment(QStringLiteral("--[^\n]*"));
    QString text = QString::fromUtf8(file.readAll());
    text.remove(comment);
    QStringList statements;
    for (const QString &part : text.split(QLatin1Char(';')))
        if (!part.trimmed().isEmpty())
            statements << engine.dialect(part.trimmed());
    return statements;
}

DbOutcome SchemaMigrator::migrate(const QString &databaseName, QStringList *ran)
{
    ran->clear();
    int version = 1;
    if (const DbOutcome read = readVersion(&version); !read.ok())
        return read;
    if (version > SchemaVersion::current())
        return DbOutcome::failure(SchemaVersion::refusal(databaseName, version));
    for (int number = version + 1; number <= SchemaVersion::current(); ++number) {
        const QString migration = migrationFor(number, SiteEngine::of(m_db));
        if (migration.isEmpty())
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "Falta la migración %1 para este motor de base de datos")).arg(number));
        if (const DbOutcome outcome = run(number, migration); !outcome.ok())
            return outcome;
        *ran << migration;
    }
    return DbOutcome::success();
}

DbOutcome SchemaMigrator::run(int number, const QString &migration)
{
    QStringList statements = statementsOf(migration, SiteEngine::of(m_db));
    if (statements.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "La migración %1 está vacía o no se pudo leer")).arg(migration));
    statements << QStringLiteral("DELETE FROM AC_VERSI")
               << QStringLiteral("INSERT INTO AC_VERSI (NUM_VERS) VALUES (%1)").arg(number);
    if (!m_db.transaction())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se pudo empezar la migración %1: %2"))
                                      .arg(migration, m_db.lastError().text()));
    QSqlQuery query(m_db);
    for (const QString &statement : std::as_const(statements)) {
        if (!query.exec(statement)) {
            const QString error = query.lastError().text();
            query.finish();
            m_db.rollback();
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "La migración %1 falló y no cambió nada: %2\n%3"))
                                          .arg(migration, error, statement.section(QLatin1Char('\n'), 0, 0)));
        }
    }
    query.finish();
    if (!m_db.commit())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se pudo confirmar la migración %1: %2"))
                                      .arg(migration, m_db.lastError().text()));
    return DbOutcome::success();
}

} // namespace dbtools
