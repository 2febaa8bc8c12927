#pragma once
// A database for one test: an SQLite file, or a schema of its own on the server QACSEMAF_PG names.

#include "tools/dbtools/DatabaseOpener.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

class TestDatabase {
    Q_DISABLE_COPY(TestDatabase)

public:
    // `backend` is "sqlite" or "postgres"; PostgreSQL without QACSEMAF_PG is unavailable, not failed.
    explicit TestDatabase(const QString &backend = QStringLiteral("sqlite"), const QString &file = {})
        : m_name(QStringLiteral("test%1").arg(++s_count))
    {
        if (backend == QLatin1String("sqlite")) {
            m_error = dbtools::DatabaseOpener::openSqlite(file.isEmpty() ? m_dir.filePath(m_name) : file, m_name).error;
            return;
        }
        const QString connInfo = qEnvironmentVariable("QACSEMAF_PG");
        m_available = !connInfo.isEmpty();
        m_error = m_available ? dbtools::DatabaseOpener::openPostgres(connInfo, m_name).error
                              : QStringLiteral("PostgreSQL not available: set QACSEMAF_PG to a connection text");
        if (!m_error.isEmpty())
            return;
        m_schema = QStringLiteral("qacsemaf_test_%1_%2").arg(m_name).arg(QCoreApplication::applicationPid());
        QSqlQuery query(db());
        for (const QString &sql : {QStringLiteral("SET client_min_messages TO warning"),
                                   QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema),
                                   QStringLiteral("CREATE SCHEMA %1").arg(m_schema),
                                   QStringLiteral("SET search_path TO %1").arg(m_schema)}) {
            if (m_error.isEmpty() && !query.exec(sql))
                m_error = query.lastError().text();
        }
    }

    ~TestDatabase()
    {
        {
            QSqlDatabase open = db();
            if (!m_schema.isEmpty() && open.isOpen())
                QSqlQuery(open).exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(m_schema));
            open.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }

    bool available() const { return m_available; }
    const QString &error() const { return m_error; }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

    // The one value of a one-row, one-column query; an invalid QVariant (and a warning) on failure.
    QVariant value(const QString &sql) const
    {
        QSqlQuery query(db());
        if (query.exec(sql) && query.next())
            return query.value(0);
        qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        return {};
    }

private:
    static inline int s_count = 0;
    QTemporaryDir m_dir;
    QString m_name;
    QString m_schema;
    QString m_error;
    bool m_available = true;
};

// Declares `var`, a TestDatabase on `backend`; skips when PostgreSQL is not available.
#define OPEN_TEST_DATABASE(var, backend)                                                           \
    TestDatabase var(backend);                                                                     \
    if (!var.available())                                                                          \
        QSKIP(qPrintable(var.error()));                                                            \
    QVERIFY2(var.error().isEmpty(), qPrintable(var.error()))
