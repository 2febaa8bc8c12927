#pragma once
// qacsemaf user add|passwd|disable|enable|grant|revoke|sessions|list: the application's users,
// the companies each may work with and the sessions the server handed them, on an SQLite file or
// a PostgreSQL database. Passwords are asked on the terminal or read from standard input, never
// taken as arguments. Every change is written to the audit record under the system's user.

#include <QStringList>
#include <QtGlobal>

// The line of the command list.
inline constexpr char kUserSummary[] = QT_TRANSLATE_NOOP("qacsemaf", "añade, cambia, deshabilita y lista usuarios, sus empresas y sus sesiones");

// `arguments` start with the program name ("qacsemaf user"). Returns the process exit code.
int runUserCommand(const QStringList &arguments);
