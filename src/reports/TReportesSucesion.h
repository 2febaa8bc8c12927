#pragma once
// The succession map's two reports, "Mapa de Sucesión" (one line per node) and "Brechas" (the
// gaps the page shows: of one node or of the whole plan), under the same page header and footer
// as the traffic-light list. Showing, printing or exporting the pages belongs to whoever asks.

#include "reportengine/Report.h"

#include <functional>

class SuccessionTables;
class TDtmAcSemaf;

class TReportesSucesion {
public:
    TReportesSucesion(TDtmAcSemaf &modulo, SuccessionTables &tablas);

    // Raised when a report is asked for before a map was computed.
    static const QString kSinMapa;

    report::Report RptMapaSucesion;
    report::Report RptBrechas;

    // Answers gStNomProg, gStCodUsua, gStPlan (the plan's number and name) and gStAlcance (the
    // plan and the node whose gaps are shown, or "Todo el plan"); any other name keeps its value.
    void GetValue(const QString &VarName, QVariant &Value);

    // Runs `salida` (preview, print, export) on the report; refuses when no map is computed.
    void ProducirMapa(const std::function<void(report::Report &)> &salida);
    void ProducirBrechas(const std::function<void(report::Report &)> &salida);

private:
    void producir(report::Report &reporte, const QString &titulo, const QString &detalle,
                  const std::function<void(report::Report &)> &salida);
    QString textoPlan() const;
    QString textoAlcance() const;

    TDtmAcSemaf &m_modulo;
    SuccessionTables &m_tablas;
};
