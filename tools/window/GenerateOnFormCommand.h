#pragma once
// qacsemaf generate --plan M --node K: the generation through the real main form, offscreen, as
// a user would run it; prints the result table as qacsemaf generate does.

#include <QStringList>

// `arguments` start with the program name ("qacsemaf generate"). Returns the process exit code.
int runGenerateOnFormCommand(const QStringList &arguments);
