#pragma once
// Where the commands that set a site up (init, user, migrate) find their database: exactly one of
// --db FILE and --pg "conninfo", read from the command's option table and checked before anything
// is opened; and the reading role's own password for the commands that set PostgreSQL's roles up.

#include <QString>

class CommandLine;

class SiteOptions {
public:
    // Whether the SQLite file must be there already (user, migrate) or is to be made (init).
    enum class File { MustExist, MayBeNew };

    QString file;             // --db, or empty
    QString connInfo;         // --pg, or empty
    QString readerPassword;   // PostgreSQL: readpassword= of the conninfo or --read-password-file

    bool isPostgres() const { return !connInfo.isEmpty(); }

    // Adds --db and --pg to the command's table.
    static void addPlaceTo(CommandLine &line);
    // Adds --read-password-file.
    static void addReadPasswordTo(CommandLine &line);
    // Exactly one of --db and --pg: the file as `rule` says, a conninfo that reads, names its
    // database and gives its port and time limits as whole numbers; throws UsageError.
    static SiteOptions read(const CommandLine &line, File rule);
    // For a table with --read-password-file: the reading role's password, never the writer's
    // (readpassword= of the conninfo, else the file's first line, else empty); the file goes
    // with --pg only. Throws UsageError.
    void readReaderPassword(const CommandLine &line);

    // The first line of a password file, its line end dropped; `error` says why there is none.
    static QString passwordFromFile(const QString &path, QString *error);
};
