#pragma once
// Beside the gaps of the succession map page: what if a candidate of the node under the map's
// cursor closed some of his gaps. The analyst picks the candidate, ticks the gaps he considers
// closed and reads the percentage and band recomputed at once ("Con las brechas marcadas:
// 87.50 % Verde"), with the engine's what-if (the generation's own scoring). The candidate's
// records are read once when he is picked; ticking reads nothing, and nothing is written.

#include "engine/WhatIfReading.h"

#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;

class QuePasariaBrechas : public QWidget {
public:
    // Reads the what-if of a candidate (one row) of a node; throws Exception with its message.
    using Lector = std::function<engine::WhatIfCandidate(int node, const engine::SuccessionCandidate &candidato)>;

    explicit QuePasariaBrechas(QWidget *parent = nullptr);

    void setLector(Lector lector) { m_lector = std::move(lector); }
    // The candidates of `nodo` to pick from (none: nothing to pick); forgets the candidate picked.
    void mostrarNodo(const engine::NodeSuccession *nodo);

    QComboBox *CmbCandidato = nullptr;
    QListWidget *LstBrechasCandidato = nullptr;
    QLabel *LblGenerado = nullptr;
    QLabel *LblQuePasaria = nullptr;

private:
    void elegirCandidato(int indice);
    void recalcular();
    void olvidarCandidato();

    Lector m_lector;
    std::optional<engine::NodeSuccession> m_nodo;
    std::optional<engine::WhatIfCandidate> m_candidato;
};
