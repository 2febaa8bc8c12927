#include "tests/data/support/PostgresCompany.h"

#include "appserver/DatabaseDescription.h"
#include "appserver/SchemaVersion.h"
#include "framework/localtransport/LocalTransport.h"

#include "tools/dbtools/DatabaseOpener.h"
#include "tools/dbtools/SchemaLoader.h"
#include "tools/dbtools/SeedWriter.h"
#include "tools/dbtools/ServerAccess.h"

#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace dbtools;

namespace {

// Every table's rows, in the column order of the DDL; the schema version is the new schema's own.
void copyRows(const QSqlDatabase &from, SeedWriter &to)
{
    for (const QString &table : SchemaLoader::tableNames()) {
        if (table.compare(appserver::SchemaVersion::table(), Qt::CaseInsensitive) == 0)
            continue;
        const QStringList columns = SchemaLoader::columns(table);
        QSqlQuery query(from);
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QLatin1Char(',')), table)))
            throw SeedError(table + QStringLiteral(": ") + query.lastError().text());
        while (query.next()) {
            QVariantList values;
            values.reserve(columns.size());
            for (int i = 0; i < columns.size(); ++i)
                values << query.value(i);
            to.insert(table, values);
        }
    }
    to.flush();
}

QMap<QString, QString> pairsOf(const QString &connInfo)
{
    QMap<QString, QString> pairs;
    QString ignored;
    DatabaseOpener::parseConnInfo(connInfo, &pairs, &ignored);
    return pairs;
}

} // namespace

QString PostgresCompany::copyFrom(const QString &sqlitePath, const QString &connInfo)
{
    const QString source = QStringLiteral("company-copy-source");
    const QString target = QStringLiteral("company-copy-target");
    QString error;
    {
        DbOutcome outcome = DatabaseOpener::openSqlite(sqlitePath, source);
        if (outcome.ok())
            outcome = DatabaseOpener::openPostgres(connInfo, target);
        QSqlDatabase from = QSqlDatabase::database(source, false);
        QSqlDatabase to = QSqlDatabase::database(target, false);
        if (outcome.ok() && !to.transaction())
            outcome = DbOutcome::failure(to.lastError().text());
        SchemaLoader loader(to);
        loader.joinTransaction();
        QSqlQuery(to).exec(QStringLiteral("SET client_min_messages = warning"));
        if (outcome.ok())
            outcome = loader.dropAll();
        if (outcome.ok())
            outcome = loader.create();
        if (outcome.ok()) {
            try {
                SeedWriter writer(to);
                copyRows(from, writer);
            } catch (const SeedError &e) {
                outcome = DbOutcome::failure(e.message());
            }
        }
        const QMap<QString, QString> pairs = pairsOf(connInfo);
        using appserver::DatabaseDescription;
        if (outcome.ok())
            outcome = ServerAccess::setUp(to, DatabaseDescription::defaultReaderUser(),
                                          pairs.value(QStringLiteral("password")),
                                          DatabaseDescription::defaultWriterRole());
        if (outcome.ok() && !to.commit())
            outcome = DbOutcome::failure(to.lastError().text());
        if (!outcome.ok())
            to.rollback();
        // Statistics and all-visible pages, as on a seeded database.
        if (outcome.ok()) {
            QSqlQuery vacuum(to);
            if (!vacuum.exec(QStringLiteral("VACUUM ANALYZE")))
                outcome = DbOutcome::failure(vacuum.lastError().text());
        }
        error = outcome.error;
        from.close();
        to.close();
    }
    QSqlDatabase::removeDatabase(source);
    QSqlDatabase::removeDatabase(target);
    return error;
}

Session PostgresCompany::session(const QString &connInfo, int company)
{
    const QMap<QString, QString> pairs = pairsOf(connInfo);
    // libpq takes the login from its environment, as a workstation's would.
    qputenv("PGUSER", pairs.value(QStringLiteral("user")).toUtf8());
    qputenv("PGPASSWORD", pairs.value(QStringLiteral("password")).toUtf8());
    LocalTransport::install();
    return Session(QStringLiteral("pgsql"),
                   pairs.value(QStringLiteral("host")) + QLatin1Char(':') + pairs.value(QStringLiteral("port"), QStringLiteral("5432")),
                   pairs.value(QStringLiteral("dbname")), QStringLiteral("ADMIN"), QStringLiteral("ADMIN"), company);
}
