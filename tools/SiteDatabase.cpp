#include "tools/SiteDatabase.h"

#include "appserver/DatabaseDescription.h"
#include "appserver/SchemaVersion.h"
#include "tools/CommandLine.h"
#include "tools/SiteOptions.h"
#include "tools/dbtools/DatabaseOpener.h"
#include "tools/dbtools/SchemaMigrator.h"
#include "tools/dbtools/SchemaLoader.h"

#include <QFileInfo>

#include <utility>

using dbtools::DbOutcome;

SiteDatabase::SiteDatabase(QString connectionName) : m_connection(std::move(connectionName)) {}

SiteDatabase::~SiteDatabase()
{
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

DbOutcome SiteDatabase::openExisting(const SiteOptions &options)
{
    m_connInfo = options.connInfo;
    if (!isPostgres()) {
        const QString &file = options.file;
        m_displayName = file;
        if (!QFileInfo(file).isFile())   // gone since the command line was read
            return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "la base de datos %1 no existe")).arg(file));
        return dbtools::DatabaseOpener::openSqlite(file, m_connection);
    }
    appserver::DatabaseDescription description;
    QString ignored;
    m_displayName = appserver::DatabaseDescription::fromKeywords(m_connInfo, &description, &ignored)
                        ? description.displayName()
                        : QStringLiteral("PostgreSQL");
    const DbOutcome opened = dbtools::DatabaseOpener::openPostgres(m_connInfo, m_connection);
    return opened.ok() ? opened : DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "no se pudo abrir %1: %2")).arg(m_displayName, opened.error));
}

DbOutcome SiteDatabase::checkCurrent() const
{
    const QStringList tables = dbtools::SchemaLoader(db()).existingTables();
    if (!tables.contains(QStringLiteral("GN_USUAR")) || !tables.contains(QStringLiteral("AC_PPROM")))
        return DbOutcome::failure(cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no es una base de datos de Semáforo de "
                                                                               "Carrera; créela con qacsemaf init"))
                                      .arg(m_displayName));
    int version = 1;
    if (const DbOutcome read = dbtools::SchemaMigrator(db()).readVersion(&version); !read.ok())
        return read;
    const QString refusal = appserver::SchemaVersion::refusal(m_displayName, version);
    return refusal.isEmpty() ? DbOutcome::success() : DbOutcome::failure(refusal);
}

QSqlDatabase SiteDatabase::db() const
{
    return QSqlDatabase::database(m_connection, false);
}
