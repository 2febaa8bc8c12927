#pragma once
// qacsemaf succession: the succession map of a whole plan, headless. For every node with
// candidates it runs what "Generación Semaforo" runs on that node (in one batched pass) and
// prints one summary row per node, the plan's or a node's gaps (--gaps), or one node's
// traffic-light rows (--node), as a table, JSON, CSV or an XLSX worksheet.

#include <QStringList>
#include <QtGlobal>

// The line of the command list.
inline constexpr char kSuccessionSummary[] = QT_TRANSLATE_NOOP(
    "qacsemaf", "el mapa de sucesión de un plan: por nodo sus candidatos por banda y el mejor, las brechas "
                "(--gaps) o las filas de un nodo (--node)");

// `arguments` start with the program name ("qacsemaf succession"). Returns the exit code.
int runSuccessionCommand(const QStringList &arguments);
