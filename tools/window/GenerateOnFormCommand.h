#pragma once
// qacsemaf generate --plan M --node K and qacsemaf report list|competence --plan M --node K: the
// generation through the real main form, offscreen, as a user would run it; then the result
// table printed or written, or the report written, as the runs by positions do.

#include <QStringList>

// `arguments` start with the program name ("qacsemaf generate"). Returns the process exit code.
int runGenerateOnFormCommand(const QStringList &arguments);
// `arguments` start with the program name ("qacsemaf report"). Returns the process exit code.
int runReportOnFormCommand(const QStringList &arguments);
