#include "tools/dbtools/PgStatements.h"

#include "tools/dbtools/DbText.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace dbtools {

namespace {

const QJsonObject &catalogue()
{
    static const QJsonObject byName = [] {
        QFile file(QStringLiteral(":/setup/postgres-setup.json"));
        file.open(QIODevice::ReadOnly);
        QJsonObject entries;
        const QJsonObject document = QJsonDocument::fromJson(file.readAll()).object();
        for (const QJsonValue &entry : document.value(QLatin1String("statements")).toArray())
            entries.insert(entry.toObject().value(QLatin1String("name")).toString(), entry);
        return entries;
    }();
    return byName;
}

QString quotedLiteral(QString text)
{
    return QLatin1Char('\'') + text.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

// A value fitted to its slot's kind: empty when it does not fit.
QString fitted(const QJsonValue &kind, const QString &value)
{
    static const QString name = QStringLiteral("(?:[a-z_][a-z0-9_$]*|\"(?:[^\"]|\"\")+\")");
    static const QRegularExpression identifier(QStringLiteral("^%1$").arg(name));
    static const QRegularExpression identifiers(QStringLiteral("^%1(?:, %1)*$").arg(name));
    static const QRegularExpression placeholders(QStringLiteral("^\\?(?:, \\?)*$"));
    // A signature as regprocedure writes it: "name(type, type)", types possibly quoted or arrays.
    static const QString type = QStringLiteral("[a-z0-9_ \"\\[\\].]+");
    static const QRegularExpression function(
        QStringLiteral("^(?:%1\\.)?%1\\((?:%2(?:, ?%2)*)?\\)$").arg(name, type));
    if (kind.isArray())
        return kind.toArray().contains(value) ? (value.isEmpty() ? QStringLiteral(" ") : value) : QString();
    const QString text = kind.toString();
    if (text == QLatin1String("literal"))
        return quotedLiteral(value);
    const QRegularExpression &pattern = text == QLatin1String("identifier")     ? identifier
                                       : text == QLatin1String("identifiers")  ? identifiers
                                       : text == QLatin1String("placeholders") ? placeholders
                                                                               : function;
    return pattern.match(value).hasMatch() ? value : QString();
}

} // namespace

DbOutcome PgStatements::texts(const QString &name, const QHash<QString, QString> &fills, QStringList *out)
{
    const QJsonObject entry = catalogue().value(name).toObject();
    if (entry.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "El catálogo de preparación no tiene la sentencia %1")).arg(name));
    const QJsonObject kinds = entry.value(QLatin1String("slots")).toObject();
    out->clear();
    for (const QJsonValue &line : entry.value(QLatin1String("text")).toArray()) {
        QString text = line.toString();
        for (auto it = kinds.begin(); it != kinds.end(); ++it) {
            const QString marker = QLatin1Char('{') + it.key() + QLatin1Char('}');
            if (!text.contains(marker))
                continue;
            const QString value = fitted(it.value(), fills.value(it.key()));
            if (value.isEmpty())
                return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1: \"%2\" no cabe en el hueco %3"))
                                              .arg(name, fills.value(it.key()), it.key()));
            // An empty word takes its blank with it.
            if (value == QLatin1String(" "))
                text.replace(marker + QLatin1Char(' '), QString());
            text.replace(marker, value.trimmed());
        }
        *out << text;
    }
    return DbOutcome::success();
}

DbOutcome PgStatements::run(QSqlDatabase &db, const QStringList &statements, const QString &what)
{
    QSqlQuery query(db);
    for (const QString &statement : statements) {
        if (!query.exec(statement))
            return DbOutcome::failure(QStringLiteral("%1: %2\n%3").arg(what, query.lastError().text(), statement));
    }
    return DbOutcome::success();
}

DbOutcome PgStatements::compose(const QStringList &names, const QHash<QString, QString> &fills, QStringList *out)
{
    for (const QString &name : names) {
        QStringList made;
        if (const DbOutcome outcome = texts(name, fills, &made); !outcome.ok())
            return outcome;
        *out << made;
    }
    return DbOutcome::success();
}

DbOutcome PgStatements::run(QSqlDatabase &db, const QStringList &names, const QHash<QString, QString> &fills,
                            const QString &what)
{
    QStringList statements;
    const DbOutcome made = compose(names, fills, &statements);
    return made.ok() ? run(db, statements, what) : made;
}

bool PgStatements::read(QSqlDatabase &db, const QString &name, const QVariantList &values, QList<QVariantList> *rows,
                        QString *error)
{
    QStringList text;
    if (const DbOutcome found = texts(name, {}, &text); !found.ok() || text.size() != 1) {
        *error = found.ok() ? dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 no es una sola lectura")).arg(name) : found.error;
        return false;
    }
    QSqlQuery query(db);
    query.prepare(text.first());
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        *error = query.lastError().text();
        return false;
    }
    rows->clear();
    while (query.next()) {
        QVariantList row;
        for (int i = 0; i < query.record().count(); ++i)
            row << query.value(i);
        *rows << row;
    }
    return true;
}

bool PgStatements::column(QSqlDatabase &db, const QString &name, QStringList *out, QString *error)
{
    QList<QVariantList> rows;
    if (!read(db, name, {}, &rows, error))
        return false;
    out->clear();
    for (const QVariantList &row : std::as_const(rows))
        *out << row.value(0).toString();
    return true;
}

bool PgStatements::isSuperuser(QSqlDatabase &db, bool *superuser, QString *error)
{
    QList<QVariantList> rows;
    if (!read(db, QStringLiteral("EsSuperusuario"), {}, &rows, error))
        return false;
    *superuser = rows.value(0).value(0).toBool();
    return true;
}

DbOutcome PgStatements::roleFacts(QSqlDatabase &db, const QString &role, const QString &what, RoleFacts *facts)
{
    static const QRegularExpression plainName(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    if (!plainName.match(role).hasMatch())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1: el nombre \"%2\" debe ser un identificador en minúsculas")).arg(what, role));
    QList<QVariantList> rows;
    QString error;
    if (!read(db, QStringLiteral("RolExiste"), {role}, &rows, &error))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede buscar el rol %1: %2")).arg(role, error));
    facts->exists = !rows.isEmpty();
    if (!isSuperuser(db, &facts->superuser, &error))
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede saber si el usuario de la conexión es superusuario: %1")).arg(error));
    QStringList schema;
    if (!column(db, QStringLiteral("EsquemaActual"), &schema, &error) || schema.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede leer el esquema actual: %1")).arg(error));
    facts->schema = schema.first();
    QStringList login;
    if (!read(db, QStringLiteral("PuedeCambiarRoles"), {}, &rows, &error)
        || !column(db, QStringLiteral("UsuarioActual"), &login, &error) || login.isEmpty())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede leer qué puede hacer el usuario de la conexión: %1")).arg(error));
    facts->managesRoles = rows.value(0).value(0).toBool();
    facts->login = login.first();
    return DbOutcome::success();
}

} // namespace dbtools
