#pragma once
// The options every command that opens a session shares, read in one place: where the data are
// (--db FILE, --pg "conninfo" or --server URL and, for an https server signed by an authority of
// its own, --ca-file), the current company,
// the requirement categories and the application user with its password (--password-file FILE,
// QACSEMAF_PASSWORD, asked on the terminal; --password too, though every user of the machine
// sees it in the process list). Also the session they describe, which the command line hands to
// its connection and data module as the load call does its own.

#include "engine/ProfileScoring.h"
#include "framework/Session.h"
#include "tools/CommandLine.h"

#include <QString>
#include <QStringList>

class SDCOMConnection;

class CommonOptions {
public:
    QString protocol = QStringLiteral("local");  // local (--db), pgsql (--pg), http (--server)
    QString server;                              // pgsql: host:port; http: the server's address
    QString alias;                               // local: the file; pgsql: the database name
    int company = 0;
    QString user;
    QString password;
    engine::Categories categories;
    bool categoriesGiven = false;

    // --db, --pg, --server, --ca-file, --company, --categories, --user, --password-file and
    // --password.
    static void addTo(CommandLine &line);
    // Exactly one place of the data (an SQLite file that exists), a whole company number, known
    // category codes, a password; throws UsageError. --categories may be missing (categoriesGiven
    // says so). Without --password, --password-file or QACSEMAF_PASSWORD the password is asked on
    // the terminal, and refused when standard input is none.
    static CommonOptions read(const CommandLine &line);
    // "EF,EN,EP,CO" (commas or blanks, any case) as the ticked boxes; throws UsageError.
    static engine::Categories categoriesOf(const QString &list);

    // Where the data are, who works and in which company.
    Session session() const;
    // Hands the session to `connection` and proves user and company with the application server
    // as the load call does (throws Exception with its message), keeping what it answers: the
    // user's type and the driver name.
    void proveSession(SDCOMConnection &connection) const;
};
