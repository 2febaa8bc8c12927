#include "reports/TReportesSucesion.h"

#include "data/DAcSemaf.h"
#include "engine/SuccessionSchema.h"
#include "framework/Exceptions.h"
#include "framework/dataset/TField.h"
#include "reports/SuccessionTables.h"

#include <cmath>

const QString TReportesSucesion::kSinMapa = QStringLiteral("Primero debe Calcular el Mapa de Sucesión!!");

namespace {

void cargarLayout(report::Report &reporte, const QString &ruta)
{
    QString error;
    if (!reporte.loadLayout(ruta, &error))
        throw Exception(error);
}

// Puts the summary cursor back on a node, however the report ends.
struct VolverAlNodo {
    TDataSet &mapa;
    std::optional<int> nodo;
    ~VolverAlNodo()
    {
        if (!nodo || !mapa.Active() || mapa.FieldByName(engine::successionfield::CodNodo)->AsInteger() == *nodo)
            return;
        try {
            mapa.Locate(engine::successionfield::CodNodo, *nodo);
        } catch (...) {
            // In-memory rows that were just printed: a failure here would only leave the cursor
            // on the last row, which is no reason to end the program from a destructor.
        }
    }
};

// The layout without the column of the nodes whose candidates fall short ("Nodos"): for one
// node's gaps it would repeat the node the title names. The view that starts where a dropped one
// ends takes its room.
report::ReportLayout sinColumnaNodos(report::ReportLayout layout)
{
    for (report::PageDef &pagina : layout.pages)
        for (report::BandDef &banda : pagina.bands) {
            QList<report::ViewDef> vistas;
            QList<QRectF> quitadas;
            for (const report::ViewDef &vista : std::as_const(banda.views)) {
                if (vista.name.startsWith(QLatin1String("MemoNodos")))
                    quitadas << vista.rect;
                else
                    vistas << vista;
            }
            for (const QRectF &quitada : std::as_const(quitadas))
                for (report::ViewDef &vista : vistas)
                    if (std::abs(vista.rect.left() - quitada.right()) < 0.01 && std::abs(vista.rect.top() - quitada.top()) < 0.01)
                        vista.rect.setLeft(quitada.left());
            banda.views = vistas;
        }
    return layout;
}

} // namespace

TReportesSucesion::TReportesSucesion(TDtmAcSemaf &modulo, SuccessionTables &tablas)
    : m_modulo(modulo), m_tablas(tablas)
{
    cargarLayout(RptMapaSucesion, QStringLiteral(":/reports/RptMapaSucesion.json"));
    RptMapaSucesion.setDataSet(engine::successionSummaryTable().reportName, &m_tablas.CdsMapaSucesion);
    cargarLayout(RptBrechas, QStringLiteral(":/reports/RptBrechas.json"));
    RptBrechas.setDataSet(engine::successionGapsTable().reportName, &m_tablas.CdsBrechas);
    for (report::Report *reporte : {&RptMapaSucesion, &RptBrechas}) {
        reporte->setDataSet(QStringLiteral("QryGnEmpre"), &m_modulo.QryGnEmpre);
        reporte->OnGetValue = [this](const QString &name, QVariant &value) { GetValue(name, value); };
    }
}

void TReportesSucesion::GetValue(const QString &VarName, QVariant &Value)
{
    if (VarName == QLatin1String("gStNomProg"))
        Value = TDtmAcSemaf::kProgramName;
    else if (VarName == QLatin1String("gStCodUsua"))
        Value = m_modulo.CodiUsua();
    else if (VarName == QLatin1String("gStPlan"))
        Value = textoPlan();
    else if (VarName == QLatin1String("gStAlcance"))
        Value = textoAlcance();
    else if (VarName == QLatin1String("gStNotaCumplimiento"))
        Value = engine::fulfilmentCapNote();
}

QString TReportesSucesion::textoPlan() const
{
    const engine::SuccessionResult &mapa = m_tablas.result();
    return QStringLiteral("Plan %1 - %2").arg(mapa.plan).arg(mapa.planName.trimmed());
}

QString TReportesSucesion::textoAlcance() const
{
    const std::optional<int> nodo = m_tablas.currentNode();
    if (!m_tablas.showsNodeGaps() || !nodo)
        return textoPlan() + QStringLiteral(" - Todo el plan");
    const engine::NodeSuccession *datos = m_tablas.result().node(*nodo);
    QString texto = textoPlan() + QStringLiteral(" - Nodo %1").arg(*nodo);
    if (datos)
        texto += QLatin1Char(' ') + datos->inputs.target.code + QLatin1Char(' ') + datos->summary.positionName.trimmed();
    return texto;
}

void TReportesSucesion::ProducirMapa(const std::function<void(report::Report &)> &salida)
{
    producir(RptMapaSucesion, engine::successionTitle(), textoPlan(), salida);
}

void TReportesSucesion::ProducirBrechas(const std::function<void(report::Report &)> &salida)
{
    if (m_tablas.showsNodeGaps() && RptBrechas.hasLayout())
        RptBrechas.setLayout(sinColumnaNodos(RptBrechas.layout()));
    producir(RptBrechas, engine::gapsTitle(), textoAlcance(), salida);
}

void TReportesSucesion::producir(report::Report &reporte, const QString &titulo, const QString &detalle,
                                 const std::function<void(report::Report &)> &salida)
{
    if (!m_tablas.hasMap())
        throw Exception(kSinMapa);
    report::DocumentInfo info;
    info.title = titulo + QStringLiteral(" - ") + detalle;
    info.author = m_modulo.CodiUsua();
    TDataSet &empresa = m_modulo.QryGnEmpre;
    if (empresa.Active() && !empresa.IsEmpty())
        info.subject = empresa.FieldByName(QStringLiteral("NOM_EMPR"))->AsString().trimmed();
    reporte.Info = info;
    // The map report walks the summary rows; afterwards the page shows the node it showed before.
    VolverAlNodo volver{m_tablas.CdsMapaSucesion, m_tablas.currentNode()};
    salida(reporte);
}
