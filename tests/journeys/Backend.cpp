#include "tests/journeys/Backend.h"

#include "tests/support/TestTools.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

Backend::~Backend()
{
    if (!m_connection.isEmpty()) {
        QSqlDatabase::database(m_connection, false).close();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

QString Backend::prepare(const QString &tool)
{
    if (m_kind == Sqlite) {
        m_sqlite = std::make_unique<DemoDatabase>();
        return m_sqlite->isValid() ? QString() : QStringLiteral("la base de demostración no se creó: ") + m_sqlite->error();
    }
    m_pg = qEnvironmentVariable("QACSEMAF_PG");
    if (m_pg.isEmpty())
        return QStringLiteral("QACSEMAF_PG no está definida: no hay base PostgreSQL para el recorrido "
                              "(QACSEMAF_PG=$(bash scripts/test-postgres.sh) la pone en marcha)");
    const ProgramRun seed = runProgram(tool, {QStringLiteral("seed"), QStringLiteral("--pg"), m_pg, QStringLiteral("--force")});
    if (seed.exitCode != 0)
        return QStringLiteral("qacsemaf seed --pg falló: ") + seed.errors;
    m_connection = QStringLiteral("journey-pg");
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
    // "host=... port=... dbname=... user=... password=..."
    for (const QString &pair : m_pg.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString key = pair.section(QLatin1Char('='), 0, 0);
        const QString value = pair.section(QLatin1Char('='), 1);
        if (key == QLatin1String("host"))
            db.setHostName(value);
        else if (key == QLatin1String("port"))
            db.setPort(value.toInt());
        else if (key == QLatin1String("dbname"))
            db.setDatabaseName(value);
        else if (key == QLatin1String("user"))
            db.setUserName(value);
        else if (key == QLatin1String("password"))
            db.setPassword(value);
    }
    return db.open() ? QString() : QStringLiteral("PostgreSQL: ") + db.lastError().text();
}

QStringList Backend::serverArguments() const
{
    if (m_kind == Sqlite)
        return {QStringLiteral("--db"), m_sqlite->path()};
    return {QStringLiteral("--pg"), m_pg};
}

QStringList Backend::query(const QString &sql) const
{
    if (m_kind == Sqlite)
        return m_sqlite->query(sql);
    QSqlQuery query(QSqlDatabase::database(m_connection));
    if (!query.exec(sql))
        return {QStringLiteral("ERROR: ") + query.lastError().text()};
    QStringList rows;
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i)
            values << query.value(i).toString().trimmed();
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}
