#pragma once
// qacsemaf audit: the site's audit record (GN_AUDIT), oldest first: when (UTC), who, what and
// from where, from a date on and of one user when asked, as a table or JSON.

#include <QStringList>
#include <QtGlobal>

// The line of the command list.
inline constexpr char kAuditSummary[] = QT_TRANSLATE_NOOP("qacsemaf", "lista el registro de auditoría: inicios de sesión, cambios guardados y de usuarios");

// `arguments` start with the program name ("qacsemaf audit"). Returns the process exit code.
int runAuditCommand(const QStringList &arguments);
