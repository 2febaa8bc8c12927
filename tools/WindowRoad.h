#pragma once
// The command line itself links no widgets. The roads that need the module's windows (the real
// main form, offscreen) or the charting library go to the window program installed next to it,
// which is started in this process's place: same arguments, same standard streams, and its exit
// code is the command's.

#include <QtGlobal>

// The screenshot's line of the command list: the window program runs it, and both list it.
inline constexpr char kScreenshotSummary[] = QT_TRANSLATE_NOOP(
    "qacsemaf", "abre la ventana principal en un nodo de un plan, genera y guarda una imagen de una página");

// Whether the arguments (argv[1] on) ask for a road of the window program: a screenshot, a
// generation or a report on a generation result given a plan node (--plan or --node), or a
// report with a chart written to a file (the charting library draws it).
bool needsWindowProgram(int argc, const char *const argv[]);

// The file name of the window program, next to the command line.
const char *windowProgramName();

// Replaces this process with the window program, passing argv on unchanged. Returns only when it
// cannot be started: the message (translated: an application must exist) has been written to
// stderr and the result is the exit code.
int runWindowProgram(char *argv[]);
