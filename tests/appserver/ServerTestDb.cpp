#include "tests/appserver/ServerTestDb.h"

#include "tools/dbtools/SiteEngine.h"
#include "tools/dbtools/ServerAccess.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using appserver::DatabaseDescription;

ServerTestDb::ServerTestDb(Backend backend)
    : m_backend(backend), m_connection(QStringLiteral("server-test-setup"))
{
}

ServerTestDb::~ServerTestDb()
{
    if (QSqlDatabase::contains(m_connection)) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

QString ServerTestDb::skipReason() const
{
    if (m_backend == Backend::Postgres && qEnvironmentVariableIsEmpty("QACSEMAF_PG"))
        return QStringLiteral("QACSEMAF_PG is not set: no PostgreSQL database to test against");
    return {};
}

QString ServerTestDb::backendName() const
{
    return m_backend == Backend::Sqlite ? QStringLiteral("SQLite") : QStringLiteral("PostgreSQL");
}

protocol::Credentials ServerTestDb::session()
{
    return {QStringLiteral("PRUEBA"), QStringLiteral("clave1"), 1};
}

QString ServerTestDb::create()
{
    QString error;
    if (m_backend == Backend::Sqlite) {
        m_description = DatabaseDescription::sqlite(m_dir.filePath(QStringLiteral("server.db")));
    } else if (!DatabaseDescription::fromKeywords(qEnvironmentVariable("QACSEMAF_PG"),
                                                  &m_description, &error)) {
        return error;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(
        m_backend == Backend::Sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), m_connection);
    db.setDatabaseName(m_backend == Backend::Sqlite ? m_description.filePath : m_description.databaseName);
    db.setHostName(m_description.host);
    db.setPort(m_description.port);
    db.setUserName(m_description.user);
    db.setPassword(m_description.password);
    if (!db.open())
        return db.lastError().text();
    if (m_backend == Backend::Postgres)
        exec(QStringLiteral("SET client_min_messages = warning"));
    error = loadSchema();
    if (error.isEmpty() && m_backend == Backend::Postgres) {
        const dbtools::DbOutcome access = dbtools::ServerAccess::setUp(db, m_description.readerUser,
                                                                       m_description.password,
                                                                       m_description.writerRole);
        error = access.error;
    }
    if (error.isEmpty())
        error = exec(QStringLiteral("INSERT INTO GN_USUAR (COD_USUA, PAS_USUA, TIP_USUA, NOM_USUA) "
                                    "VALUES ('PRUEBA', 'clave1', 'AD', 'Usuario de prueba')"));
    // The companies the tests write rows of; on PostgreSQL row security keeps to them.
    if (error.isEmpty())
        error = exec(QStringLiteral("INSERT INTO GN_USEMP (COD_USUA, COD_EMPR) VALUES ('PRUEBA', 1), ('PRUEBA', 2), "
                                    "('PRUEBA', 3)"));
    return error;
}

QString ServerTestDb::exec(const QString &statement, const QVariantList &values)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    bool ok = false;
    if (values.isEmpty()) {
        ok = query.exec(statement); // PostgreSQL cannot prepare DDL
    } else {
        query.prepare(statement);
        for (const QVariant &value : values)
            query.addBindValue(value);
        ok = query.exec();
    }
    if (!ok)
        return QStringLiteral("%1 -- %2").arg(query.lastError().text(), statement);
    return {};
}

QString ServerTestDb::value(const QString &statement)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(statement) || !query.next())
        return QStringLiteral("%1 -- %2").arg(query.lastError().text(), statement);
    return query.value(0).toString();
}

QStringList ServerTestDb::rows(const QString &statement)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(statement))
        return {QStringLiteral("ERROR: ") + query.lastError().text()};
    QStringList rows;
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i)
            values << query.value(i).toString();
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

QString ServerTestDb::loadSchema()
{
    const QStringList statements = schemaStatements();
    if (statements.isEmpty())
        return QStringLiteral("no schema found in %1").arg(QStringLiteral(QACSEMAF_SCHEMA_FILE));
    static const QRegularExpression tableName(QStringLiteral("CREATE\\s+TABLE\\s+(\\w+)"),
                                              QRegularExpression::CaseInsensitiveOption);
    for (const QString &statement : statements) {
        const auto match = tableName.match(statement);
        if (match.hasMatch() && m_backend == Backend::Postgres)
            exec(QStringLiteral("DROP TABLE IF EXISTS %1 CASCADE").arg(match.captured(1)));
        const QString error = exec(dbtools::SiteEngine::of(QSqlDatabase::database(m_connection, false)).dialect(statement));
        if (!error.isEmpty())
            return error;
    }
    return {};
}

QStringList ServerTestDb::schemaStatements() const
{
    QFile file(QStringLiteral(QACSEMAF_SCHEMA_FILE));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    text.remove(QRegularExpression(QStringLiteral("--[^\n]*")));
    QStringList statements;
    for (const QString &part : text.split(QLatin1Char(';')))
        if (!part.trimmed().isEmpty())
            statements << part.trimmed();
    return statements;
}
