#include "reports/TReportesEvolucion.h"

#include "data/DAcSemaf.h"
#include "data/SuccessionMap.h"
#include "framework/Exceptions.h"
#include "framework/dataset/TField.h"
#include "reports/ReportKinds.h"

namespace {

QString textoCorteEvolucion(const engine::SnapshotHeader &corte)
{
    QString texto = QStringLiteral("Corte %1 (%2 UTC").arg(corte.number).arg(corte.time.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    if (!corte.label.isEmpty())
        texto += QStringLiteral(", ") + corte.label;
    return texto + QLatin1Char(')');
}

} // namespace

TReportesEvolucion::TReportesEvolucion(TDtmAcSemaf &modulo, engine::SnapshotComparison comparacion)
    : m_modulo(modulo), m_comparacion(std::move(comparacion))
{
    QString error;
    if (!RptEvolucionPlan.loadLayout(reportKindNamed(QStringLiteral("evolution")).layout, &error))
        throw Exception(error);
    SuccessionMap::createTable(CdsEvolucionNodos, engine::evolutionNodesTable());
    SuccessionMap::createTable(CdsEvolucionPersonas, engine::evolutionPeopleTable());
    engine::fillEvolutionNodeRows(CdsEvolucionNodos, m_comparacion);
    engine::fillEvolutionPeopleRows(CdsEvolucionPersonas, m_comparacion);
    RptEvolucionPlan.setDataSet(engine::evolutionNodesTable().reportName, &CdsEvolucionNodos);
    RptEvolucionPlan.setDataSet(engine::evolutionPeopleTable().reportName, &CdsEvolucionPersonas);
    RptEvolucionPlan.setDataSet(QStringLiteral("QryGnEmpre"), &m_modulo.QryGnEmpre);
    RptEvolucionPlan.OnGetValue = [this](const QString &name, QVariant &value) { GetValue(name, value); };
}

QString TReportesEvolucion::textoCortes(const engine::SnapshotComparison &comparacion)
{
    return textoCorteEvolucion(comparacion.from) + QStringLiteral(" → ") + textoCorteEvolucion(comparacion.to);
}

void TReportesEvolucion::GetValue(const QString &VarName, QVariant &Value)
{
    if (VarName == QLatin1String("gStNomProg"))
        Value = TDtmAcSemaf::kProgramName;
    else if (VarName == QLatin1String("gStCodUsua"))
        Value = m_modulo.CodiUsua();
    else if (VarName == QLatin1String("gStPlan"))
        Value = QStringLiteral("Plan %1 - %2").arg(m_comparacion.to.plan).arg(m_comparacion.to.planName);
    else if (VarName == QLatin1String("gStCortes"))
        Value = textoCortes(m_comparacion);
}

void TReportesEvolucion::Producir(const std::function<void(report::Report &)> &salida)
{
    report::DocumentInfo info;
    info.title = reportKindNamed(QStringLiteral("evolution")).caption + QStringLiteral(" - Plan %1 - ").arg(m_comparacion.to.plan) + textoCortes(m_comparacion);
    info.author = m_modulo.CodiUsua();
    TDataSet &empresa = m_modulo.QryGnEmpre;
    if (empresa.Active() && !empresa.IsEmpty())
        info.subject = empresa.FieldByName(QStringLiteral("NOM_EMPR"))->AsString().trimmed();
    RptEvolucionPlan.Info = info;
    salida(RptEvolucionPlan);
}
