// The main form's traffic-light pages: the generation button, the two result grids painted in
// the bands of their percentages, the drill-down from an employee of the tree to the suite's
// programs, and the competence report buttons.

#include "ui/UAcSemaf.h"

#include "data/DAcSemaf.h"
#include "engine/ResultSchema.h"
#include "framework/Exceptions.h"
#include "reportengine/widgets/ReportPreview.h"
#include "framework/widgets/TQInfoAyuda.h"
#include "framework/widgets/TRadioGroup.h"
#include "reports/ReportKinds.h"
#include "framework/widgets/TVelkarDBgrid.h"
#include "ui/ResultGrid.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QProgressDialog>
#include <QTreeWidget>

namespace {

// Shows how far a generation has come once it has run for half a second: it counts the rows the
// run appends to the result table and lets the window paint now and then.
class ProgresoGeneracion : private TDataLink {
public:
    ProgresoGeneracion(TDataSet &resultado, QWidget *ventana) : m_resultado(resultado), m_ventana(ventana)
    {
        m_reloj.start();
        m_resultado.attachLink(this);
    }
    ~ProgresoGeneracion() override { m_resultado.detachLink(this); }

private:
    void dataEvent(TDataEvent, TField *) override {}
    void rowsChanged(TRowChange change, int) override
    {
        if (change != TRowChange::Inserted || ++m_filas % 25 != 0 || m_reloj.elapsed() < 500)
            return;
        if (!m_dialogo) {
            m_dialogo = std::make_unique<QProgressDialog>(m_ventana);
            m_dialogo->setObjectName(QStringLiteral("PrgGeneracion"));
            m_dialogo->setWindowTitle(QStringLiteral("Generación Semaforo"));
            m_dialogo->setCancelButton(nullptr);
            m_dialogo->setRange(0, 0);
            m_dialogo->setWindowModality(Qt::WindowModal);
            m_dialogo->show();
        }
        m_dialogo->setLabelText(QStringLiteral("Generando el semáforo: %1 empleados evaluados...").arg(m_filas));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

    TDataSet &m_resultado;
    QWidget *m_ventana;
    QElapsedTimer m_reloj;
    int m_filas = 0;
    std::unique_ptr<QProgressDialog> m_dialogo;
};

} // namespace

void TFrmAcSemaf::configurarGrillas()
{
    QFont titulo(QStringLiteral("Arial"));
    titulo.setPixelSize(11);  // 8 points at 96 dpi
    for (TVelkarDBgrid *grilla : {DBGrdSemaforo, DbGCargoUsuario}) {
        grilla->setReadOnly(true);
        grilla->setTitleFont(titulo);
    }
    pintarPorBanda(*DBGrdSemaforo, engine::trafficLightTable());
    pintarPorBanda(*DbGCargoUsuario, engine::careerPositionsTable());
    DBGrdSemaforo->setSortableByHeader(true);
    DbGCargoUsuario->setSortableByHeader(true);
}

void TFrmAcSemaf::SpdBttnRefrescarClick()
{
    if (!DtmAcSemaf)
        return;
    TDtmAcSemaf &datos = *DtmAcSemaf;
    if (RdgFiltro->ItemIndex() == 1) {
        // "Cargo": only the positions page follows the employee under the result cursor.
        if (datos.CdsAcSemaf.Active() && !datos.CdsAcSemaf.IsEmpty())
            datos.CdsAcSemafAfterScroll(&datos.CdsAcSemaf);
        return;
    }
    generarSemaforoNodo();
}

void TFrmAcSemaf::generarSemaforoNodo()
{
    TDtmAcSemaf &datos = *DtmAcSemaf;
    CargoActual.clear();
    EmpCaActual.clear();
    TDataSet &plan = datos.QryAcPprom;
    datos.QryBiDtpca.Close();
    datos.QryBiDtpca.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(plan.FieldByName(QStringLiteral("COD_EMCA"))->AsInteger());
    datos.QryBiDtpca.ParamByName(QStringLiteral("P_COD_CARG"))->setAsString(plan.FieldByName(QStringLiteral("COD_CARG"))->AsString());
    QTreeWidgetItem *seleccionado = TreeViewCarrera->currentItem();
    GetCargo(seleccionado);
    GetNextChild(seleccionado);
    datos.readAheadGeneration({datos.QryBiDtpca.Request()});
    datos.QryBiDtpca.Open();
    ProgresoGeneracion progreso(datos.CdsAcSemaf, this);
    datos.GenerarSemaforoCarrera();
}

// The drill-down opens an employee's records: it is offered on employee nodes only, and acts on
// the node that was clicked.
void TFrmAcSemaf::menuDelArbol(const QPoint &at)
{
    QTreeWidgetItem *nodo = TreeViewCarrera->itemAt(at);
    if (!nodo || nodo->data(0, RolCodEmpl).isNull())
        return;
    TreeViewCarrera->setCurrentItem(nodo);
    PppMnEmpleados->popup(TreeViewCarrera->viewport()->mapToGlobal(at));
}

void TFrmAcSemaf::abrirPrograma(QLabel *label)
{
    QTreeWidgetItem *nodo = TreeViewCarrera->currentItem();
    if (!nodo || !DtmAcSemaf)
        return;
    const QVariant empleado = nodo->data(0, RolCodEmpl);
    if (empleado.isNull())
        return;
    if (!DtmAcSemaf->QryNmContr.Active()
        || !DtmAcSemaf->QryNmContr.Locate(QStringLiteral("COD_EMPL"), empleado))
        throw Exception(QStringLiteral("El empleado %1 ya no está en la lista de empleados del cargo; "
                                       "vuelva a mostrar los empleados con doble clic.")
                            .arg(nodo->text(0)));
    QInfoAyuda1->LabelClick(label);
}

void TFrmAcSemaf::ExperienciaLaboral1Click()
{
    abrirPrograma(LblEmpleadoHoja);
}

void TFrmAcSemaf::EducacinFormal1Click()
{
    abrirPrograma(LblEmpleadoFormal);
}

void TFrmAcSemaf::EducacinNoFormal1Click()
{
    abrirPrograma(LblEmpleadoNoFormal);
}

void TFrmAcSemaf::BntRepCompeClick()
{
    if (CargoActual.trimmed().isEmpty())
        throw Exception(QStringLiteral("No se selecciono cargo en el arbol o no existen cargos debajo del mismo..."));
    if (!DtmAcSemaf)
        return;
    // Both pages (the table and the chart) open together in one preview.
    reportKindNamed(QStringLiteral("competence")).produce(ReportData{*DtmAcSemaf}, [this](report::Report &competencias) {
        report::ReportPreview::showReport(competencias, this);
    });
}
