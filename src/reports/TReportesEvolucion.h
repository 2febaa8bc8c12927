#pragma once
// "Evolución del Plan": the comparison of two snapshots of a plan's succession map, page 1 one
// line per node (people ready now before and after), page 2 one line per person and node (band
// and score before and after, the move), under the traffic-light list's page header and footer.
// Showing, printing or exporting the pages belongs to whoever asks.

#include "engine/SuccessionSnapshot.h"
#include "framework/dataset/TClientDataSet.h"
#include "reportengine/Report.h"

#include <functional>

class TDtmAcSemaf;

class TReportesEvolucion {
public:
    TReportesEvolucion(TDtmAcSemaf &modulo, engine::SnapshotComparison comparacion);

    report::Report RptEvolucionPlan;
    TClientDataSet CdsEvolucionNodos{QStringLiteral("CdsEvolucionNodos")};
    TClientDataSet CdsEvolucionPersonas{QStringLiteral("CdsEvolucionPersonas")};

    // Answers gStNomProg, gStCodUsua, gStPlan (the plan's number and name) and gStCortes (the two
    // snapshots, the earlier first); any other name keeps its value.
    void GetValue(const QString &VarName, QVariant &Value);

    // Runs `salida` (preview, print, export) on the report.
    void Producir(const std::function<void(report::Report &)> &salida);

    // "Corte 3 (2024-06-01 10:00 UTC, cierre) → Corte 5 (...)".
    static QString textoCortes(const engine::SnapshotComparison &comparacion);

private:
    TDtmAcSemaf &m_modulo;
    engine::SnapshotComparison m_comparacion;
};
