#pragma once
// The module's main form: career plans, the career tree and the traffic-light grids. It is the
// data module's view of the window (IFrmAcSemaf): the rules of the plan rows keep its position
// chooser, position text, tree and generation inputs in step.

#include "IFrmAcSemaf.h"
#include "TDataSource.h"
#include "TfrmFormaMaestro.h"

#include <QList>
#include <QPointer>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;
class TRadioGroup;

class TFrmAcSemaf : public TfrmFormaMaestro, public IFrmAcSemaf {
    Q_OBJECT
public:
    explicit TFrmAcSemaf(QWidget *parent = nullptr);
    ~TFrmAcSemaf() override;

    // The plan dataset's data source: the record grid and the tree follow it.
    TDataSource dtsFrm;

    // Rebuilds the tree when the current plan changed, then selects the current row's node.
    void GenerarArbolCarrera();
    void DibujarArbol() override { GenerarArbolCarrera(); }
    int CodigoPaisEmpresa() const override;
    void LlenarListaCargos(const QStringList &items) override;
    QStringList ListaCargos() const override;
    int IndiceCargo() const override;
    void SeleccionarCargo(int index) override;
    void MostrarNombreCargo(const QString &text) override;
    void LimpiarArbol() override;
    void LimpiarFiltros() override;
    engine::Categories CategoriasMarcadas() const override;
    void ReacomodarGrillaSemaforo() override;

    // The current plan row changed (no field) or one of its fields changed.
    void dtsFrmDataChange(TDataSource *Sender, TField *Field);
    // The user chose an item of the position list: it becomes the node's position.
    void cmbEmpCargChange();

    QTabWidget *PagCtrPrincipal = nullptr;
    QComboBox *cmbEmpCarg = nullptr;        // "company-position*name" items
    QLineEdit *edtEdtNmbCarg = nullptr;     // read-only text of the node's position
    QTreeWidget *TreeViewCarrera = nullptr;
    TRadioGroup *RdgFiltro = nullptr;
    QCheckBox *ChkCompe = nullptr;
    QCheckBox *ChkEduFor = nullptr;
    QCheckBox *ChkEduNo = nullptr;
    QCheckBox *ChkExpe = nullptr;
    QTableView *DBGrdSemaforo = nullptr;

protected:
    void FormCreate(QObject *Sender) override;

private:
    QWidget *crearPaginaRuta();
    QWidget *crearPaginaSemaforo();
    QTreeWidgetItem *agregarNodo(QTreeWidgetItem *padre, const QString &titulo, const QString &codCarg,
                                 const QString &codEmca, int imagen);

    QList<QTreeWidgetItem *> ListaNivNodos; // the root and every position node, in order
    QStringList ListaNodos;                 // their node numbers as text, "0" for the root
    bool gBoClickArbol = false;
};

extern QPointer<TFrmAcSemaf> FrmAcSemaf;
