#include "reports/ReportKinds.h"

#include "data/DAcSemaf.h"
#include "engine/SuccessionSnapshot.h"
#include "framework/Exceptions.h"
#include "reports/TReportesAcSemaf.h"
#include "reports/TReportesEvolucion.h"

namespace {

QVector<ReportKind> makeReportKinds()
{
    ReportKind list;
    list.name = QStringLiteral("list");
    list.caption = QStringLiteral("Semáforo de Carrera");
    list.layout = QStringLiteral(":/reports/frxRptEstan.json");
    list.summary = QT_TRANSLATE_NOOP("qacsemaf", "Genera el semáforo como qacsemaf generate y escribe el listado del "
                                                 "resultado.");
    list.produce = [](const ReportData &data, const ReportOutput &output) {
        TReportesAcSemaf reports(data.module);
        reports.CargoSinPlan = data.positionWithoutPlan;
        reports.ProducirListado(output);
    };

    ReportKind competence;
    competence.name = QStringLiteral("competence");
    competence.caption = QStringLiteral("Competencias");
    competence.layout = QStringLiteral(":/reports/RptAcSemaf.json");
    competence.perEmployee = true;
    competence.chart = true;
    competence.summary = QT_TRANSLATE_NOOP("qacsemaf", "Genera el semáforo como qacsemaf generate y escribe el reporte de "
                                                       "competencias (tabla de requisitos y gráfica) de un empleado evaluado.");
    competence.produce = [](const ReportData &data, const ReportOutput &output) {
        TReportesAcSemaf reports(data.module);
        reports.CargoSinPlan = data.positionWithoutPlan;
        reports.ReporteCompetencias(output);
    };
    // What its table prints and its chart draws, one requirement a row: required and obtained
    // values and the percentage obtained (the chart's bars) are numbers.
    competence.rows.columns = {{QStringLiteral("TIP_REGI")}, {QStringLiteral("COD_REQU")}, {QStringLiteral("COD_ESPE")},
                               {QStringLiteral("VAL_REQU"), true}, {QStringLiteral("VAL_CUMP"), true},
                               {QStringLiteral("CUM_GRAF"), true}};
    competence.rows.fill = [](const ReportData &data) -> TDataSet & {
        data.module.ReporteCompetencias();
        return data.module.CdsDtpcaRep;
    };

    ReportKind evolution;
    evolution.name = QStringLiteral("evolution");
    evolution.caption = engine::evolutionTitle();
    evolution.layout = QStringLiteral(":/reports/RptEvolucionPlan.json");
    evolution.source = ReportSource::Snapshots;
    evolution.summary = QT_TRANSLATE_NOOP("qacsemaf", "Escribe el reporte Evolución del Plan: la comparación de dos cortes "
                                                      "de un mismo plan (qacsemaf snapshot compare), por nodo y por persona.");
    evolution.produce = [](const ReportData &data, const ReportOutput &output) {
        if (!data.comparison)
            throw Exception(QStringLiteral("El reporte %1 necesita dos cortes comparados.").arg(engine::evolutionTitle()));
        TReportesEvolucion reports(data.module, *data.comparison);
        reports.Producir(output);
    };

    return {list, competence, evolution};
}

} // namespace

const QVector<ReportKind> &reportKinds()
{
    static const QVector<ReportKind> kinds = makeReportKinds();
    return kinds;
}

const ReportKind *reportKind(const QString &name)
{
    for (const ReportKind &kind : reportKinds())
        if (kind.name == name)
            return &kind;
    return nullptr;
}

const ReportKind &reportKindNamed(const QString &name)
{
    if (const ReportKind *kind = reportKind(name))
        return *kind;
    throw Exception(QStringLiteral("El módulo no tiene el reporte %1.").arg(name));
}

QStringList reportNames()
{
    QStringList names;
    for (const ReportKind &kind : reportKinds())
        names << kind.name;
    return names;
}
