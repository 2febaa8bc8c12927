#pragma once
// What the login window keeps for the next start, per user: the last server, user and company
// that opened the module (never the password), in the user's configuration folder
// (~/.config/qacsemaf/host.ini, $XDG_CONFIG_HOME/qacsemaf/host.ini).

#include <QString>

class RememberedLogin {
public:
    static QString path();
    // The values kept by the last save(); empty (company 0) when there are none.
    static RememberedLogin load();
    // Empty on success, else why the values could not be kept.
    QString save() const;

    QString server;
    QString user;
    int company = 0;
};
