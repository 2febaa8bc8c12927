#include "tools/dbtools/DatabaseOpener.h"

#include "tools/dbtools/DbText.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <sqlite3.h>

namespace dbtools {

namespace {

// Keys the application server reads (its reader login, writer role and time limits), not libpq.
const QStringList &serverOnlyKeys()
{
    static const QStringList keys{QStringLiteral("readuser"), QStringLiteral("readpassword"),
                                  QStringLiteral("writerole"),
                                  QStringLiteral("statement_timeout"), QStringLiteral("lock_timeout")};
    return keys;
}

} // namespace

bool DatabaseOpener::parseConnInfo(const QString &text, QMap<QString, QString> *pairs, QString *error)
{
    pairs->clear();
    int i = 0;
    const int n = int(text.size());
    while (i < n) {
        while (i < n && text.at(i).isSpace())
            ++i;
        if (i >= n)
            break;
        const int keyStart = i;
        while (i < n && text.at(i) != QLatin1Char('=') && !text.at(i).isSpace())
            ++i;
        const QString key = text.mid(keyStart, i - keyStart);
        while (i < n && text.at(i).isSpace())
            ++i;
        if (i >= n || text.at(i) != QLatin1Char('=') || key.isEmpty()) {
            *error = dbText(QT_TRANSLATE_NOOP("qacsemaf", "se esperaba clave=valor en \"%1\"")).arg(text.mid(keyStart));
            return false;
        }
        ++i;
        while (i < n && text.at(i).isSpace())
            ++i;
        QString value;
        if (i < n && text.at(i) == QLatin1Char('\'')) {
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = text.at(i++);
                if (c == QLatin1Char('\\') && i < n) {
                    value += text.at(i++);
                } else if (c == QLatin1Char('\'')) {
                    closed = true;
                    break;
                } else {
                    value += c;
                }
            }
            if (!closed) {
                *error = dbText(QT_TRANSLATE_NOOP("qacsemaf", "falta la comilla que cierra el valor de %1")).arg(key);
                return false;
            }
        } else {
            while (i < n && !text.at(i).isSpace())
                value += text.at(i++);
        }
        pairs->insert(key, value);
    }
    return true;
}

DbOutcome DatabaseOpener::openSqlite(const QString &file, const QString &connectionName)
{
    // SQLite's memory statistics put a process-wide lock round every allocation it makes, several
    // for each row a seed inserts, and nothing here reads them. The setting only takes before
    // SQLite starts in this process (the first connection); afterwards the call is refused and
    // the statistics stay on.
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(file);
    if (!db.open())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede abrir %1: %2")).arg(file, db.lastError().text()));
    return DbOutcome::success();
}

DbOutcome DatabaseOpener::openPostgres(const QString &connInfo, const QString &connectionName)
{
    QMap<QString, QString> pairs;
    QString error;
    if (!parseConnInfo(connInfo, &pairs, &error))
        return DbOutcome::failure(error);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    QStringList options;
    for (auto it = pairs.cbegin(); it != pairs.cend(); ++it) {
        if (it.key() == QLatin1String("host"))
            db.setHostName(it.value());
        else if (it.key() == QLatin1String("port"))
            db.setPort(it.value().toInt());
        else if (it.key() == QLatin1String("dbname"))
            db.setDatabaseName(it.value());
        else if (it.key() == QLatin1String("user"))
            db.setUserName(it.value());
        else if (it.key() == QLatin1String("password"))
            db.setPassword(it.value());
        else if (!serverOnlyKeys().contains(it.key()))
            options << it.key() + QLatin1Char('=') + it.value();
    }
    db.setConnectOptions(options.join(QLatin1Char(';')));
    if (!db.open())
        return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede conectar con PostgreSQL: %1")).arg(db.lastError().text()));
    // The time limits a connection text gives bind the tools' own sessions too (milliseconds).
    for (const QString &limit : {QStringLiteral("statement_timeout"), QStringLiteral("lock_timeout")}) {
        if (!pairs.contains(limit))
            continue;
        bool number = false;
        const int milliseconds = pairs.value(limit).toInt(&number);
        if (!number || milliseconds < 0)
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "%1 necesita milisegundos, no \"%2\"")).arg(limit, pairs.value(limit)));
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SET %1 = %2").arg(limit).arg(milliseconds)))
            return DbOutcome::failure(dbText(QT_TRANSLATE_NOOP("qacsemaf", "No se puede fijar %1: %2")).arg(limit, query.lastError().text()));
    }
    return DbOutcome::success();
}

} // namespace dbtools
