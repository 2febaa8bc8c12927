#pragma once
// qacsemaf user add|passwd|disable|enable|grant|revoke|list: the application's users and the
// companies each may work with, on an SQLite file or a PostgreSQL database. Passwords are asked
// on the terminal or read from standard input, never taken as arguments.

#include <QStringList>
#include <QtGlobal>

// The line of the command list.
inline constexpr char kUserSummary[] = QT_TRANSLATE_NOOP("qacsemaf", "añade, cambia, deshabilita y lista usuarios y sus empresas");

// `arguments` start with the program name ("qacsemaf user"). Returns the process exit code.
int runUserCommand(const QStringList &arguments);
