#pragma once
// The command line of the commands that set a site up (init, user, migrate, backup): Spanish help
// headed by the command's own usage line, listing every option, and where the database is
// (--db FILE or --pg "conninfo", exactly one). A bad command line throws UsageError, before
// anything is opened.

#include "tools/UsageError.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

class SiteOptions {
public:
    // `usage`: "qacsemaf user add NOMBRE [opciones]"; `description`: what the command does.
    SiteOptions(QString usage, QString description);

    QCommandLineParser &parser() { return m_parser; }
    const QCommandLineParser &parser() const { return m_parser; }
    // Adds --db and --pg.
    void addPlaceOptions();
    // Parses; false when --help was asked for (the help is printed then). Throws UsageError,
    // also for more positional arguments than `positional`.
    bool parse(const QStringList &arguments, int positional = 0);
    QString helpText() const;

    // After parse: the SQLite file or the PostgreSQL conninfo (the other one empty).
    QString file() const { return m_parser.value(QStringLiteral("db")); }
    QString connInfo() const { return m_parser.value(QStringLiteral("pg")); }
    // PostgreSQL: adds --read-password-file.
    void addReadPasswordOption();
    // The reading role's own password: readpassword= of the conninfo, else the first line of
    // --read-password-file, else empty (never the writer's). Empty error, or why the file could
    // not be read.
    QString readPassword(QString *error) const;
    // The first line of a password file, its line end dropped; `error` says why there is none.
    static QString passwordFromFile(const QString &path, QString *error);
    // The value of an option that must be a whole number of at least `minimum`; throws UsageError.
    int number(const QString &option, int minimum) const;

    // Prints the refusal with a pointer to the help; exit code 2.
    int refuse(const UsageError &error) const;
    // Prints "qacsemaf: <message>"; exit code 1.
    static int fail(const QString &message);

private:
    QString m_usage;
    QString m_description;
    QCommandLineParser m_parser;
    bool m_hasPlace = false;
};
