#pragma once
// qacsemaf snapshot: snapshots ("cortes") of a plan's succession map. `save` computes the map as
// `succession` does and keeps it (per node each person once, with his best score and band);
// `list` names the snapshots kept; `compare A B` shows per node the change in people ready now
// (green) and per person the band's move and the score's change; `history` a person's lines in
// every snapshot.

#include <QStringList>
#include <QtGlobal>

#include <utility>

class CommandLine;

// The line of the command list.
inline constexpr char kSnapshotSummary[] = QT_TRANSLATE_NOOP(
    "qacsemaf", "cortes del mapa de sucesión: guarda el mapa de un plan (save), los lista (list), compara dos "
                "(compare) o muestra la historia de un empleado (history)");

// `arguments` start with the program name ("qacsemaf snapshot"). Returns the exit code.
int runSnapshotCommand(const QStringList &arguments);

// The two snapshots compared, "A B" (compare, and the evolution report); throws UsageError.
std::pair<int, int> snapshotNumbers(const CommandLine &line);
