#pragma once
// Where qacsemaf-server finds the PostgreSQL passwords, so that they need not stand on its command
// line, which every user of the machine can read. Each comes from the first place that has it:
//   writer: the conninfo's password=, --pg-password-file, QACSEMAF_PG_PASSWORD, PGPASSWORD;
//   reader: the conninfo's readpassword=, --pg-read-password-file, QACSEMAF_PG_READ_PASSWORD,
//           else the writer's.

#include "appserver/DatabaseDescription.h"

#include <QProcessEnvironment>
#include <QStringList>

class DatabasePasswords {
public:
    struct Sources {
        QString passwordFile;       // empty: not given
        QString readPasswordFile;
        QProcessEnvironment environment;
    };

    // Fills the passwords `description` lacks. Empty, or why a file could not be read; what the
    // operator should know (a password on the command line, a file others may read) goes to notes.
    static QString fill(appserver::DatabaseDescription *description, const Sources &sources, QStringList *notes);

private:
    static QString pick(QString *password, const QString &conninfoKey, const QString &file,
                        const QString &variable, const Sources &sources, QStringList *notes);
    static QString readFile(const QString &path, QString *password, QStringList *notes);
};
