#include "tests/journeys/Backend.h"

#include "tests/support/TestTools.h"

Backend::~Backend() = default;

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
    return seed.exitCode == 0 ? QString() : QStringLiteral("qacsemaf seed --pg falló: ") + seed.errors;
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
    // Fixed-width PostgreSQL columns come padded.
    QStringList rows = queryPostgres({sql}, m_pg);
    for (QString &row : rows) {
        QStringList values = row.split(QLatin1Char('|'));
        for (QString &value : values)
            value = value.trimmed();
        row = values.join(QLatin1Char('|'));
    }
    return rows;
}
