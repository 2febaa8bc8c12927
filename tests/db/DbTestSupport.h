#pragma once
// Connections for the database tests: an SQLite file in a temporary directory, or a private
// schema on the PostgreSQL server named by QACSEMAF_PG (a libpq-style connection text).

#include "DatabaseOpener.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QVariant>

namespace dbtest {

inline QString postgresConnInfo()
{
    return qEnvironmentVariable("QACSEMAF_PG");
}

// Opens `backend` ("sqlite" or "postgres") as `name`. On PostgreSQL every test connection
// works in a schema of its own, dropped again by closeBackend(). Empty result: opened.
inline QString openBackend(const QString &backend, const QString &name, const QTemporaryDir &dir)
{
    if (backend == QLatin1String("sqlite")) {
        return dbtools::DatabaseOpener::openSqlite(dir.filePath(name + QStringLiteral(".db")), name).error;
    }
    const dbtools::DbOutcome opened = dbtools::DatabaseOpener::openPostgres(postgresConnInfo(), name);
    if (!opened.ok())
        return opened.error;
    QSqlQuery query(QSqlDatabase::database(name));
    const QString schema = QStringLiteral("qacsemaf_test_%1_%2").arg(name).arg(QCoreApplication::applicationPid());
    if (!query.exec(QStringLiteral("SET client_min_messages TO warning"))
        || !query.exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema))
        || !query.exec(QStringLiteral("CREATE SCHEMA %1").arg(schema))
        || !query.exec(QStringLiteral("SET search_path TO %1").arg(schema)))
        return query.lastError().text();
    return {};
}

inline void closeBackend(const QString &name)
{
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen() && db.driverName() == QLatin1String("QPSQL")) {
            QSqlQuery query(db);
            query.exec(QStringLiteral("SELECT current_schema()"));
            if (query.next())
                query.exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(query.value(0).toString()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// The one value of a one-row, one-column query; an invalid QVariant when the query fails.
inline QVariant scalar(const QSqlDatabase &db, const QString &sql, const QVariantList &binds = {})
{
    QSqlQuery query(db);
    query.prepare(sql);
    for (int i = 0; i < binds.size(); ++i)
        query.bindValue(i, binds.at(i));
    if (!query.exec() || !query.next()) {
        qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        return {};
    }
    return query.value(0);
}

// A digest of every row of `table`, in key order: equal digests mean equal contents.
inline QByteArray tableDigest(const QSqlDatabase &db, const QString &table)
{
    QSqlQuery query(db);
    const QSqlRecord columns = db.record(table);
    QStringList order;
    for (int i = 0; i < columns.count(); ++i)
        order << columns.fieldName(i);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!query.exec(QStringLiteral("SELECT * FROM %1 ORDER BY %2").arg(table, order.join(QLatin1Char(',')))))
        return query.lastError().text().toUtf8();
    while (query.next()) {
        for (int i = 0; i < columns.count(); ++i) {
            const QVariant value = query.value(i);
            hash.addData(value.isNull() ? QByteArray("\x01null") : value.toByteArray());
            hash.addData(QByteArray("\x1f", 1));
        }
    }
    return hash.result().toHex();
}

} // namespace dbtest
