#pragma once
// Where the server's lines go: the access log (one line per request) and its events, each with a
// level. Lines below the level set are dropped. Without a file they go to stderr; with one they
// are appended to it, and reopen() (SIGHUP, after logrotate moved the file) starts the file anew
// under the same name. One log per process, used from the server's thread.

#include <QString>

class QFile;

class ServerLog {
public:
    enum class Level { Error, Warning, Info };

    // "error", "warning" or "info"; false when `name` is none of them.
    static bool levelFrom(const QString &name, Level *level);
    static void setLevel(Level level);
    // Appends to `file` from now on (empty: stderr); empty, or why it cannot be opened (the log
    // then stays where it was).
    static QString setFile(const QString &file);
    // Opens the file again by its name; empty, or why not (the lines then go to stderr).
    static QString reopen();
    static bool toFile();

    static void write(Level level, const QString &line);
    // The line on stderr whatever the level, and in the file too when there is one: the start and
    // a fatal error are seen by whoever started the server.
    static void announce(Level level, const QString &line);
};
