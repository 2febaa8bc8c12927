#pragma once
// A user's password, never taken from the command line (which every user of the machine can read
// in the process list). A new one is asked on the terminal without echo, twice, or, when standard
// input is no terminal, read from its first line (its line end dropped, blanks kept).

#include <QString>

class PasswordPrompt {
public:
    // Empty, or why there is no password: an empty one is refused, as are two that differ.
    static QString read(const QString &user, QString *password);
    // The password of an existing user, asked once on the terminal without echo. Refused (the
    // message says where else a password comes from) when standard input is no terminal.
    static QString ask(const QString &user, QString *password);

    // The first line of a password file, its line end dropped (blanks kept); `error` says why
    // there is none.
    static QString fromFile(const QString &path, QString *error);

private:
    static bool readLine(bool hidden, QString *line);
};
