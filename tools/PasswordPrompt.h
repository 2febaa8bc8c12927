#pragma once
// A new password for a user, never taken from the command line (which every user of the machine
// can read in the process list): asked on the terminal without echo, twice, or, when standard
// input is no terminal, read from its first line (its line end dropped, blanks kept).

#include <QString>

class PasswordPrompt {
public:
    // Empty, or why there is no password: an empty one is refused, as are two that differ.
    static QString read(const QString &user, QString *password);

private:
    static bool readLine(bool hidden, QString *line);
};
