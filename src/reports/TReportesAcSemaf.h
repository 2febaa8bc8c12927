#pragma once
// The module's reports over the data module's datasets: the traffic-light list `frxRptEstan`
// and the per-employee competence report `RptAcSemaf`, their report datasets and the answers to
// their variables. Showing or printing the prepared pages
// belongs to whoever asks for the report (the main window, or the command line).

#include "reportengine/Report.h"

#include <functional>

class TDtmAcSemaf;

class TReportesAcSemaf {
public:
    explicit TReportesAcSemaf(TDtmAcSemaf &modulo);

    // Raised when the list report is asked for before a traffic light was generated.
    static const QString kSinSemaforo;

    report::Report frxRptEstan;

    // The report's variable event: answers gStNomProg, gStCodUsua and gStCargo; any other name
    // keeps its value.
    void frxRptEstanGetValue(const QString &VarName, QVariant &Value);

    // Runs `salida` (preview, print, export) on the list report with the data module's
    // gBoReporte set for its duration; refuses an empty traffic-light result.
    void ProducirListado(const std::function<void(report::Report &)> &salida);

    report::Report RptAcSemaf;

    // The competence report's variable event: gStCargoActual (the employee's current position,
    // from the first listed company where an active contract names an active position),
    // gStCargo (the selected node's position), gStNomProg and gStCodUsua; any other name keeps
    // its value.
    void RptAcSemafGetValue(const QString &VarName, QVariant &Value);

    // Has the data module fill the competence detail table for the employee under the result
    // cursor and then runs `salida` (preview, export) on the competence report. The data
    // module's refusals travel up as Exception.
    void ReporteCompetencias(const std::function<void(report::Report &)> &salida);

    // What gStCargo prints when the career-plan dataset is closed (a headless run names the
    // target position itself).
    QString CargoSinPlan;

private:
    // Title "<titulo> - <detalle>", the session user as author and the company as subject.
    report::DocumentInfo datosDocumento(const QString &titulo, const QString &detalle) const;
    QVariant cargoActualEmpleado(const QStringList &empresas);

    TDtmAcSemaf &m_modulo;
};
