#pragma once
// qacsemaf whatif: what if one candidate of a plan node closed some of his gaps. Prints the
// percentage and band the generation gives him, the ones he would have with the gaps named by
// --close closed (every gap with "all"), and the gaps still open, as a table or JSON. Reads
// only: nothing is written to the database.

#include <QStringList>
#include <QtGlobal>

// The line of the command list.
inline constexpr char kWhatIfSummary[] = QT_TRANSLATE_NOOP(
    "qacsemaf", "qué pasaría si un candidato de un nodo cerrara sus brechas: su porcentaje y su banda "
                "recalculados (no escribe nada)");

// `arguments` start with the program name ("qacsemaf whatif"). Returns the exit code.
int runWhatIfCommand(const QStringList &arguments);
