// The main form's succession map page: the map of the tree's plan (one row per node with
// candidates, painted in the band of its best candidate), the gaps of the selected node or of
// the whole plan, the double click that takes the plan and the tree to a node and shows its
// traffic light, the two reports, and the readiness marks the map leaves on the career tree.
// A map belongs to one company, plan and set of ticked categories: when any of them changes the
// map is cleared (not recomputed), so that the page never shows figures the tree no longer means.

#include "ui/UAcSemaf.h"

#include "data/DAcSemaf.h"
#include "data/SuccessionMap.h"
#include "engine/GenerationInputs.h"
#include "engine/ResultSchema.h"
#include "engine/SuccessionSchema.h"
#include "framework/Exceptions.h"
#include "framework/widgets/ErrorGuard.h"
#include "framework/widgets/TVelkarDBgrid.h"
#include "reportengine/widgets/ReportPreview.h"
#include "reports/SuccessionTables.h"
#include "reports/TReportesSucesion.h"
#include "ui/ProgresoMapa.h"
#include "ui/QuePasariaBrechas.h"
#include "ui/ReadinessMarkDelegate.h"
#include "ui/ResultGrid.h"

#include <QCheckBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

QString textoPorcentaje(double valor)
{
    return QLocale().toString(valor, 'f', 2) + QStringLiteral(" %");
}

} // namespace

void TFrmAcSemaf::configurarMapa()
{
    m_mapa = std::make_unique<SuccessionTables>();
    DbGMapa->setDataSource(&m_mapa->DtsMapaSucesion);
    mostrarColumnas(*DbGMapa, engine::successionSummaryTable());
    pintarPorBanda(*DbGMapa, engine::successionSummaryTable());
    DbGBrechas->setDataSource(&m_mapa->DtsBrechas);
    mostrarAlcanceBrechas();
    pintarPorBanda(*DbGBrechas, engine::successionGapsTable());
    for (TVelkarDBgrid *grilla : {DbGMapa, DbGBrechas}) {
        grilla->setReadOnly(true);
        grilla->setSortableByHeader(true);
    }
    SplSucesion->setStretchFactor(0, 3);  // the map above its gaps
    SplSucesion->setStretchFactor(1, 2);
    TreeViewCarrera->setItemDelegate(new ReadinessMarkDelegate(RolBanda, TreeViewCarrera));
    configurarQuePasaria();
    mostrarEstadoMapa();
}

// The gaps' columns: the nodes whose candidates fall short only for the whole plan's gaps (for
// one node's gaps they would repeat the node under the map's cursor).
void TFrmAcSemaf::mostrarAlcanceBrechas()
{
    const bool delNodo = RbtBrechasNodo->isChecked();
    m_mapa->showNodeGaps(delNodo);
    mostrarColumnas(*DbGBrechas, delNodo ? engine::nodeGapsTable() : engine::successionGapsTable());
}

// Beside the gaps grid: a candidate of the node under the map's cursor, his gaps to tick.
void TFrmAcSemaf::configurarQuePasaria()
{
    QuePasaria = new QuePasariaBrechas;
    auto *lado = new QSplitter(Qt::Horizontal);
    lado->setObjectName(QStringLiteral("SplBrechas"));
    lado->setChildrenCollapsible(false);
    delete LytBrechas->replaceWidget(DbGBrechas, lado);
    lado->addWidget(DbGBrechas);
    lado->addWidget(QuePasaria);
    lado->setStretchFactor(0, 3);
    lado->setStretchFactor(1, 1);
    QuePasaria->setLector([this](int nodo, const engine::SuccessionCandidate &candidato) {
        if (!DtmAcSemaf || !m_mapa->hasMap())
            throw Exception(TReportesSucesion::kSinMapa);
        const engine::SuccessionResult &mapa = m_mapa->result();
        engine::SuccessionRequest pedido;
        pedido.categories = CategoriasMarcadas();
        pedido.eduSinPuntos = gBoNexofEduSinPuntos;
        SuccessionMap lectura(*DtmAcSemaf);
        const engine::NodeSuccession *datos = mapa.node(nodo);
        return lectura.whatIf(lectura.readPlan(mapa.company, mapa.plan), nodo, pedido,
                              candidato.employee.codEmplValue, candidato.employee.codEmpr,
                              datos ? &datos->gaps : nullptr);
    });
    m_mapa->OnNodeChanged = [this] {
        const std::optional<int> nodo = m_mapa->hasMap() ? m_mapa->currentNode() : std::nullopt;
        QuePasaria->mostrarNodo(nodo ? m_mapa->result().node(*nodo) : nullptr);
    };
}

void TFrmAcSemaf::conectarMapa()
{
    const auto guarded = [this](auto handler) { return [this, handler] { ErrorGuard::run([&] { (this->*handler)(); }); }; };
    connect(BtnCalcularMapa, &QPushButton::clicked, this, guarded(&TFrmAcSemaf::BtnCalcularMapaClick));
    connect(BtnRptMapa, &QPushButton::clicked, this, guarded(&TFrmAcSemaf::BtnRptMapaClick));
    connect(BtnRptBrechas, &QPushButton::clicked, this, guarded(&TFrmAcSemaf::BtnRptBrechasClick));
    // Only a double click on a row: the view reports none for the empty area below the rows.
    ErrorGuard::connect(DbGMapa, &QAbstractItemView::doubleClicked, this,
                        [this](const QModelIndex &index) { DbGMapaDblClick(index); });
    ErrorGuard::connect(RbtBrechasNodo, &QRadioButton::toggled, this, [this](bool) { mostrarAlcanceBrechas(); });
    // The map was computed for the categories ticked then.
    for (QCheckBox *categoria : {ChkCompe, ChkEduFor, ChkEduNo, ChkExpe})
        ErrorGuard::connect(categoria, &QCheckBox::toggled, this, [this](bool) { limpiarMapa(); });
}

void TFrmAcSemaf::BtnCalcularMapaClick()
{
    if (!DtmAcSemaf)
        return;
    limpiarMapa();
    if (DtmAcSemaf->gVrCodMenu.isNull() || DtmAcSemaf->gVrCodMenu.toInt() == 0 || TreeViewCarrera->topLevelItemCount() == 0)
        throw Exception(QStringLiteral("Primero debe seleccionar un plan de carrera en \"Ruta de Carrera\"."));
    engine::SuccessionRequest pedido;
    pedido.categories = CategoriasMarcadas();
    if (!pedido.categories.any())
        throw Exception(engine::noCategoryMessage());
    pedido.eduSinPuntos = gBoNexofEduSinPuntos;
    ProgresoMapa progreso(this);
    pedido.progress = progreso.avance();
    pedido.reading = progreso.lectura();
    pedido.cancel = progreso.cancelado();
    SuccessionMap calculo(*DtmAcSemaf);
    engine::SuccessionResult mapa = calculo.run(session().company, DtmAcSemaf->gVrCodMenu.toInt(), pedido);
    if (mapa.cancelled) {
        LblEstadoMapa->setText(QStringLiteral("Cálculo del mapa cancelado: no se muestra un mapa a medias."));
        return;
    }
    if (mapa.planName.trimmed().isEmpty())
        mapa.planName = TreeViewCarrera->topLevelItem(0)->text(0);
    m_mapa->show(std::move(mapa));
    // The map opens on the plan's current node, whose gaps "Nodo seleccionado" then lists.
    const QVariant nodoActual = DtmAcSemaf->QryAcPprom.FieldByName(QStringLiteral("COD_NODO"))->AsVariant();
    if (!nodoActual.isNull())
        m_mapa->CdsMapaSucesion.Locate(QStringLiteral("COD_NODO"), nodoActual);
    marcarArbol();
    mostrarEstadoMapa();
}

QTreeWidgetItem *TFrmAcSemaf::NodoArbol(int codNodo) const
{
    // Emptying the tree leaves the lists naming nodes that are gone until the next drawing.
    const int indice = ListaNodos.indexOf(QString::number(codNodo));
    if (indice < 0 || indice >= ListaNivNodos.size() || TreeViewCarrera->topLevelItemCount() == 0)
        return nullptr;
    return ListaNivNodos.at(indice);
}

void TFrmAcSemaf::DbGMapaDblClick(const QModelIndex &index)
{
    if (!DtmAcSemaf || !index.isValid())
        return;
    const int nodo = DbGMapa->CellValue(DbGMapa->sourceRow(index), engine::successionfield::CodNodo).toInt();
    QTreeWidgetItem *item = NodoArbol(nodo);
    if (!item)
        throw Exception(QStringLiteral("El nodo %1 ya no está en el árbol del plan; calcule el mapa de nuevo.").arg(nodo));
    if (dtsFrm.State() != dsBrowse)
        throw Exception(QStringLiteral("Guarde o cancele los cambios del plan antes de ir al nodo %1.").arg(nodo));
    TreeViewCarrera->setCurrentItem(item);
    TreeViewCarrera->scrollToItem(item);
    TreeViewCarreraClick();
    // A click on the node the plan is already on moves nothing, and the flag it leaves would
    // keep the tree from following the next move of the plan: the double click clears it.
    gBoClickArbol = false;
    // The node's traffic light, whatever the filter says: that is what the double click asks for.
    PagCtrPrincipal->setCurrentWidget(TbSSemaforo);
    generarSemaforoNodo();
}

void TFrmAcSemaf::BtnRptMapaClick()
{
    if (!DtmAcSemaf)
        return;
    TReportesSucesion reportes(*DtmAcSemaf, *m_mapa);
    reportes.ProducirMapa([this](report::Report &mapa) { report::ReportPreview::showReport(mapa, this); });
}

void TFrmAcSemaf::BtnRptBrechasClick()
{
    if (!DtmAcSemaf)
        return;
    TReportesSucesion reportes(*DtmAcSemaf, *m_mapa);
    reportes.ProducirBrechas([this](report::Report &brechas) { report::ReportPreview::showReport(brechas, this); });
}

void TFrmAcSemaf::limpiarMapa()
{
    const bool habiaMapa = m_mapa->hasMap();
    m_mapa->clear();
    if (habiaMapa)
        marcarArbol();
    mostrarEstadoMapa();
}

// The best candidate's band as a mark beside each node of the map, the counts in its tooltip.
// The tree's lists are only read while the tree holds nodes: emptying the tree leaves them
// naming nodes that are gone until the next drawing.
void TFrmAcSemaf::marcarArbol()
{
    if (TreeViewCarrera->topLevelItemCount() == 0)
        return;
    const engine::SuccessionResult &mapa = m_mapa->result();
    for (int i = 0; i < ListaNivNodos.size() && i < ListaNodos.size(); ++i) {
        QTreeWidgetItem *item = ListaNivNodos.at(i);
        const engine::NodeSuccession *nodo = m_mapa->hasMap() ? mapa.node(ListaNodos.at(i).toInt()) : nullptr;
        // The plan's own row measures nothing: no mark.
        if (!nodo || !nodo->summary.measured) {
            item->setData(0, RolBanda, QVariant());
            item->setToolTip(0, QString());
            continue;
        }
        const engine::NodeSummary &resumen = nodo->summary;
        item->setData(0, RolBanda, resumen.band ? QVariant(colorDeBanda(*resumen.band)) : QVariant());
        QString ayuda = QStringLiteral("Verde %1, Amarillo %2, Rojo %3").arg(resumen.green).arg(resumen.yellow).arg(resumen.red);
        if (resumen.candidates > 0)
            ayuda += QStringLiteral("\nMejor candidato: %1 (%2)").arg(resumen.bestName, textoPorcentaje(resumen.bestPercentage));
        else
            ayuda += QStringLiteral("\nNadie ocupa los cargos candidatos.");
        item->setToolTip(0, ayuda);
    }
}

void TFrmAcSemaf::mostrarEstadoMapa()
{
    if (!m_mapa->hasMap()) {
        LblEstadoMapa->setText(QStringLiteral("Marque las categorías en \"Plan de Carrera\" y pulse \"Calcular Mapa\"."));
        return;
    }
    const engine::SuccessionResult &mapa = m_mapa->result();
    int conError = 0;
    QString primerError;
    for (const engine::NodeSuccession &nodo : mapa.nodes) {
        if (nodo.error.isEmpty())
            continue;
        if (conError++ == 0)
            primerError = QStringLiteral("nodo %1: %2").arg(nodo.node).arg(nodo.error);
    }
    QString texto = QStringLiteral("Plan %1 %2: %3 nodos con candidatos, %4 evaluados.")
                        .arg(mapa.plan)
                        .arg(mapa.planName.trimmed())
                        .arg(mapa.measuredNodes())
                        .arg(mapa.evaluatedPeople());
    if (mapa.measuredNodes() < mapa.nodes.size())
        texto += QStringLiteral(" El nodo 0 es el plan (sin cargo): no se mide ni entra en las cuentas.");
    if (conError > 0)
        texto += QStringLiteral(" %1 nodos sin semáforo (%2).").arg(conError).arg(primerError);
    LblEstadoMapa->setText(texto);
}
