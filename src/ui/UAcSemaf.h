#pragma once
// The module's main form: career plans with their tree, the traffic-light grids and the reports.
// It is the data module's view of the window (IFrmAcSemaf): the rules of the plan rows keep its
// position chooser, position text, tree and generation inputs in step. Its work is split by
// page: UAcSemaf.cpp (creation, company change, keys, reports), UAcSemafArbol.cpp (the career
// tree and the plan fields), UAcSemafSemaforo.cpp (generation, result grids, drill-down) and
// UAcSemafSucesion.cpp (the succession map of the whole plan, its gaps and reports, the tree's
// readiness marks).

#include "data/IFrmAcSemaf.h"
#include "framework/dataset/TDataSource.h"
#include "framework/widgets/TfrmFormaMaestro.h"
#include "ui_UAcSemaf.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <memory>

class QAction;
class QLineEdit;
class QMenu;
class QModelIndex;
class QuePasariaBrechas;
class QTreeWidgetItem;
class TQInfoAyuda;
class SuccessionTables;

// The controls of UAcSemaf.ui are the form's own members, under their names in the file.
class TFrmAcSemaf : public TfrmFormaMaestro, public IFrmAcSemaf, public Ui::FrmAcSemaf {
    Q_OBJECT
public:
    explicit TFrmAcSemaf(const Session &session, QWidget *parent = nullptr);
    ~TFrmAcSemaf() override;

    // ---- IFrmAcSemaf ----
    void DibujarArbol() override { GenerarArbolCarrera(); }
    int CodigoPaisEmpresa() const override { return CodigoPais(); }
    void LlenarListaCargos(const QStringList &items) override;
    QStringList ListaCargos() const override;
    int IndiceCargo() const override;
    void SeleccionarCargo(int index) override;
    void MostrarNombreCargo(const QString &text) override;
    void LimpiarArbol() override;
    void LimpiarFiltros() override;
    engine::Categories CategoriasMarcadas() const override;
    void ReacomodarGrillaSemaforo() override;

    // ---- career tree ----
    void GenerarArbolCarrera();
    void TreeViewCarreraClick();
    void TreeViewCarreraDblClick();
    void GetCargo(QTreeWidgetItem *ANode);
    void GetNextChild(QTreeWidgetItem *ANode);
    void QPField1Click();
    void QPField2Click();
    void cmbEmpCargChange();
    // Key releases in the position text end in a silent abort.
    void edtEdtNmbCargKeyUp(QObject *Sender, int &Key, Qt::KeyboardModifiers Shift);

    // ---- generation, result grids, drill-down ----
    void SpdBttnRefrescarClick();
    void ExperienciaLaboral1Click();
    void EducacinFormal1Click();
    void EducacinNoFormal1Click();
    void BntRepCompeClick();
    // Opens the replacement table of the current plan node.
    void BtnCuareClick();

    // ---- succession map ----
    // Computes the map of the tree's plan with the ticked categories (progress and cancel after
    // half a second), fills the page and marks the tree's nodes.
    void BtnCalcularMapaClick();
    // Goes to the node of a map row as a click on its tree node does, and generates its traffic light.
    void DbGMapaDblClick(const QModelIndex &index);
    void BtnRptMapaClick();
    void BtnRptBrechasClick();
    // The map shown on the page (empty until computed; emptied when the plan, the company or
    // the ticked categories change).
    SuccessionTables &MapaSucesion() const { return *m_mapa; }
    // The tree node of plan node `codNodo` (0: the root); null when the tree does not show it.
    QTreeWidgetItem *NodoArbol(int codNodo) const;

    void dtsFrmDataChange(TDataSource *Sender, TField *Field) override;
    void cmbEmpresaChange(QObject *Sender) override;
    // The company's plan rows, by plan and node.
    void ConsultaEmpresa(SClientDataSet &dataSet, int company) override;
    void FormKeyPress(QObject *Sender, QChar &Key) override;
    void BtnReporteClick(QObject *Sender) override;

    // Controls made here beside those of UAcSemaf.ui.
    QLineEdit *edtEdtNmbCarg = nullptr;
    TQInfoAyuda *QInfoAyuda1 = nullptr;
    QMenu *PppMnEmpleados = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *BntRepCompe = nullptr;
    QuePasariaBrechas *QuePasaria = nullptr;   // beside the gaps: a candidate's gaps closed

protected:
    void FormCreate(QObject *Sender) override;
    // The data module and the help labels work in the form's session.
    void sessionAdopted(const Session &session) override;

private:
    // What each tree node carries (the node record): position, node kind ("C" position, "E"
    // employee), employee, company of the position, and its image (0 plan, 1 position, 2 employee).
    // RolBanda: the colour of the node's readiness mark once a succession map is computed.
    enum RolNodo { RolCodCarg = Qt::UserRole, RolTipNodo, RolCodEmpl, RolCodEmca, RolImagen, RolBanda };

    void crearControles();
    void conectarControles();
    void configurarGrillas();
    void abrirPrograma(QLabel *label);
    QTreeWidgetItem *agregarNodo(QTreeWidgetItem *padre, const QString &titulo, const QString &codCarg,
                                 const QString &codEmca, const QVariant &codEmpl, int imagen);
    void eliminarEmpleados(QTreeWidgetItem *nodo);
    void olvidarArbol();
    void menuDelArbol(const QPoint &at);
    // The generation of "Generación Semaforo" on the tree's selected node, whatever the filter.
    void generarSemaforoNodo();
    void configurarMapa();
    void conectarMapa();
    void limpiarMapa();
    void marcarArbol();
    void mostrarEstadoMapa();
    void configurarQuePasaria();
    void mostrarAlcanceBrechas();

    QList<QTreeWidgetItem *> ListaNivNodos; // the root and every position node, in order
    QStringList ListaNodos;                 // their node numbers as text, "0" for the root
    bool gBoClickArbol = false;
    std::unique_ptr<SuccessionTables> m_mapa;
};

extern QPointer<TFrmAcSemaf> FrmAcSemaf;
