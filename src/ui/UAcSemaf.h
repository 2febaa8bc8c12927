#pragma once
// The module's main form: career plans with their tree, the traffic-light grids and the reports.
// It is the data module's view of the window (IFrmAcSemaf): the rules of the plan rows keep its
// position chooser, position text, tree and generation inputs in step. Its work is split by
// page: UAcSemaf.cpp (creation, company change, keys, reports), UAcSemafArbol.cpp (the career
// tree and the plan fields) and UAcSemafSemaforo.cpp (generation, result grids, drill-down).

#include "data/IFrmAcSemaf.h"
#include "framework/dataset/TDataSource.h"
#include "framework/widgets/TfrmFormaMaestro.h"

#include <QList>
#include <QPointer>
#include <QStringList>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TDBEdit;
class TQInfoAyuda;
class TQNavegador;
class TQNotas;
class TQPField;
class TRadioGroup;
class TVelkarDBgrid;
namespace Ui { class FrmAcSemaf; }

class TFrmAcSemaf : public TfrmFormaMaestro, public IFrmAcSemaf {
    Q_OBJECT
public:
    explicit TFrmAcSemaf(QWidget *parent = nullptr);
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

    QString CodiUsua() const;
    void dtsFrmDataChange(TDataSource *Sender, TField *Field) override;
    void cmbEmpresaChange(QObject *Sender) override;
    void FormKeyPress(QObject *Sender, QChar &Key) override;
    void BtnReporteClick(QObject *Sender) override;

    // Controls of the form (from UAcSemaf.ui).
    QTabWidget *PagCtrPrincipal = nullptr;
    TDBEdit *DBEcod_menu = nullptr, *DBEnom_menu = nullptr, *DBEcod_nodo = nullptr, *DBEcod_carg = nullptr;
    TDBEdit *DBEDtfCodNive = nullptr, *DBEDtfNmbNivel = nullptr, *DBEDtfPunRequ = nullptr, *DBEcod_nodp = nullptr;
    TDBEdit *DBECOD_EMPL = nullptr;
    TQPField *QPField1 = nullptr, *QPField2 = nullptr;
    TQNotas *QNotas1 = nullptr;
    QComboBox *cmbEmpCarg = nullptr;
    QLineEdit *edtEdtNmbCarg = nullptr;
    QTreeWidget *TreeViewCarrera = nullptr;
    QLabel *LblEmpleadoHoja = nullptr, *LblEmpleadoFormal = nullptr, *LblEmpleadoNoFormal = nullptr;
    QLabel *Lblcod_carg = nullptr;
    TRadioGroup *RdgFiltro = nullptr;
    QCheckBox *ChkCompe = nullptr, *ChkEduFor = nullptr, *ChkEduNo = nullptr, *ChkExpe = nullptr;
    TVelkarDBgrid *DBGrdSemaforo = nullptr;
    TVelkarDBgrid *DbGCargoUsuario = nullptr;
    QToolButton *SpdBttnRefrescar = nullptr;
    QPushButton *BitBtn1 = nullptr, *BitBtn2 = nullptr, *BtnCuare = nullptr;
    TQNavegador *QNavegador1 = nullptr;
    TQInfoAyuda *QInfoAyuda1 = nullptr;
    QMenu *PppMnEmpleados = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *BntRepCompe = nullptr;

protected:
    void FormCreate(QObject *Sender) override;

private:
    // What each tree node carries (the node record): position, node kind ("C" position, "E"
    // employee), employee, company of the position, and its image (0 plan, 1 position, 2 employee).
    enum RolNodo { RolCodCarg = Qt::UserRole, RolTipNodo, RolCodEmpl, RolCodEmca, RolImagen };

    void crearControles();
    void conectarControles();
    void configurarGrillas();
    void abrirPrograma(QLabel *label);
    QTreeWidgetItem *agregarNodo(QTreeWidgetItem *padre, const QString &titulo, const QString &codCarg,
                                 const QString &codEmca, const QVariant &codEmpl, int imagen);
    void eliminarEmpleados(QTreeWidgetItem *nodo);

    std::unique_ptr<Ui::FrmAcSemaf> ui;
    QList<QTreeWidgetItem *> ListaNivNodos; // the root and every position node, in order
    QStringList ListaNodos;                 // their node numbers as text, "0" for the root
    bool gBoClickArbol = false;
};

extern QPointer<TFrmAcSemaf> FrmAcSemaf;
