#pragma once
// qacsemaf screenshot: opens the real main form offscreen on a database, moves to a plan node,
// generates its traffic light as a user would and saves a picture of one page of the window.

#include <QStringList>

// `arguments` start with the program name ("qacsemaf screenshot"). Returns the process exit code.
int runScreenshotCommand(const QStringList &arguments);
