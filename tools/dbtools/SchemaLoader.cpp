#include "tools/dbtools/SchemaLoader.h"

#include "tools/dbtools/DbText.h"
#include "tools/dbtools/SiteEngine.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace dbtools {

namespace {

QString schemaText()
{
    QFile file(QStringLiteral(":/qacsemaf/db/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QString withoutComments(const QString &text)
{
    static const QRegularExpression comment(QStringLiteral("--[^\n]*"));
    QString out = text;
    out.remove(comment);
    return out;
}

QString tableOf(const QString &statement)
{
    static const QRegularExpression create(QStringLiteral("^CREATE\\s+TABLE\\s+(\\w+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const auto match = create.match(statement);
    return match.hasMatch() ? match.captured(1).toUpper() : QString();
}

QString indexOf(const QString &statement)
{
    static const QRegularExpression create(QStringLiteral("^CREATE\\s+(?:UNIQUE\\s+)?INDEX\\s+(\\w+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    const auto match = create.match(statement);
    return match.hasMatch() ? match.captured(1).toUpper() : QString();
}

} // namespace

SchemaLoader::SchemaLoader(const QSqlDatabase &db) : m_db(db) {}

QStringList SchemaLoader::portableStatements()
{
    QStringList result;
    const QStringList parts = withoutComments(schemaText()).split(QLatin1Char(';'));
    for (const QString &part : parts) {
        const QString statement = part.trimmed();
        if (!statement.isEmpty())
            result << statement;
    }
    return result;
}

QStringList SchemaLoader::tableNames()
{
    QStringList names;
    for (const QString &statement : portableStatements()) {
        const QString table = tableOf(statement);
        if (!table.isEmpty())
            names << table;
    }
    return names;
}

QStringList SchemaLoader::indexStatements()
{
    QStringList result;
    for (const QString &statement : portableStatements())
        if (!indexOf(statement).isEmpty())
            result << statement;
    return result;
}

QStringList SchemaLoader::indexNames()
{
    QStringList result;
    for (const QString &statement : indexStatements())
        result << indexOf(statement);
    return result;
}

QStringList SchemaLoader::columns(const QString &table)
{
    static const QRegularExpression column(QStringLiteral("^\\s*([A-Z][A-Z0-9_]*)\\s+\\w"));
    for (const QString &statement : portableStatements()) {
        if (tableOf(statement) != table.toUpper())
            continue;
        QStringList names;
        const QString body = statement.mid(statement.indexOf(QLatin1Char('(')) + 1);
        for (const QString &line : body.split(QLatin1Char('\n'))) {
            const auto match = column.match(line);
            if (match.hasMatch() && match.captured(1) != QLatin1String("PRIMARY"))
                names << match.captured(1);
        }
        return names;
    }
    return {};
}

QStringList SchemaLoader::statements() const
{
    QStringList result;
    for (const QString &statement : portableStatements())
        result << SiteEngine::of(m_db).dialect(statement);
    return result;
}

QStringList SchemaLoader::existingTables() const
{
    const QStringList tables = SiteEngine::of(m_db).tables(m_db);
    QStringList present;
    for (const QString &table : tableNames()) {
        if (tables.contains(table, Qt::CaseInsensitive))
            present << table;
    }
    return present;
}

DbOutcome SchemaLoader::create()
{
    const QStringList ddl = statements();
    if (ddl.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "El recurso del esquema falta o está vacío")));
    if (const DbOutcome journal = SiteEngine::of(m_db).settleSchema(m_db); !journal.ok())
        return journal;
    if (!begin())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede iniciar la transacción del esquema: %1"))
                                      .arg(m_db.lastError().text()));
    QSqlQuery query(m_db);
    for (const QString &statement : ddl) {
        if (!query.exec(statement)) {
            const QString error = query.lastError().text();
            rollback();
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "Falló una sentencia del esquema: %1\n%2"))
                                          .arg(error, statement.section(QLatin1Char('\n'), 0, 0)));
        }
    }
    if (!commit())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede confirmar el esquema: %1"))
                                      .arg(m_db.lastError().text()));
    return DbOutcome::success();
}

DbOutcome SchemaLoader::dropAll()
{
    const QStringList present = existingTables();
    if (present.isEmpty())
        return DbOutcome::success();
    if (!begin())
        return DbOutcome::failure(m_db.lastError().text());
    QSqlQuery query(m_db);
    for (const QString &table : present) {
        if (!query.exec(QStringLiteral("DROP TABLE %1").arg(table))) {
            const QString error = query.lastError().text();
            rollback();
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede borrar %1: %2")).arg(table, error));
        }
    }
    if (!commit())
        return DbOutcome::failure(m_db.lastError().text());
    return DbOutcome::success();
}

bool SchemaLoader::begin()
{
    return m_outer || m_db.transaction();
}

bool SchemaLoader::commit()
{
    return m_outer || m_db.commit();
}

void SchemaLoader::rollback()
{
    if (!m_outer)
        m_db.rollback();
}

} // namespace dbtools
