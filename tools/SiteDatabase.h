#pragma once
// The database a site-setup command works on, opened from --db or --pg and closed with the
// object. Commands other than migrate work only on a database of this module at the version this
// build knows, and say so in the module's own words otherwise.

#include "tools/dbtools/DbOutcome.h"

#include <QSqlDatabase>
#include <QString>

class SiteOptions;

class SiteDatabase {
public:
    explicit SiteDatabase(QString connectionName);
    ~SiteDatabase();
    SiteDatabase(const SiteDatabase &) = delete;
    SiteDatabase &operator=(const SiteDatabase &) = delete;

    // An SQLite file that must exist already (it is never created here), or PostgreSQL.
    dbtools::DbOutcome openExisting(const SiteOptions &options);
    // The database holds this module's tables at this build's version.
    dbtools::DbOutcome checkCurrent() const;

    QSqlDatabase db() const;
    bool isPostgres() const { return !m_connInfo.isEmpty(); }
    const QString &connInfo() const { return m_connInfo; }
    // For messages: the file, or PostgreSQL's host, port and database, never a password.
    QString displayName() const { return m_displayName; }

private:
    QString m_connection;
    QString m_connInfo;
    QString m_displayName;
};
