#include "UAcSemaf.h"

#include "DAcSemaf.h"
#include "ErrorGuard.h"
#include "Exceptions.h"
#include "SDCOMConnection.h"
#include "TApplication.h"
#include "TDataSetModel.h"
#include "TRadioGroup.h"
#include "Ugnnorma.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

QPointer<TFrmAcSemaf> FrmAcSemaf;

namespace {

// What each tree node carries: position, node kind ("C" position, "E" employee), employee and
// company of the position, and its image (0 plan, 1 position, 2 employee).
enum RolNodo { RolCodCarg = Qt::UserRole, RolTipNodo, RolCodEmpl, RolCodEmca, RolImagen };

// Keeps the position text over the text area of the position list, leaving its button visible.
class CubiertaCombo : public QObject {
public:
    CubiertaCombo(QComboBox *combo, QLineEdit *edit) : QObject(combo), m_combo(combo), m_edit(edit)
    {
        combo->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_combo && event->type() == QEvent::Resize) {
            const int boton = m_combo->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 6;
            m_edit->setGeometry(0, 0, qMax(0, m_combo->width() - boton), m_combo->height());
        }
        return false;
    }

private:
    QComboBox *m_combo;
    QLineEdit *m_edit;
};

QTableView *nuevaGrilla(QWidget *parent)
{
    auto *grilla = new QTableView(parent);
    grilla->setSelectionBehavior(QAbstractItemView::SelectRows);
    grilla->horizontalHeader()->setStretchLastSection(true);
    return grilla;
}

} // namespace

TFrmAcSemaf::TFrmAcSemaf(QWidget *parent) : TfrmFormaMaestro(parent)
{
    setObjectName(QStringLiteral("FrmAcSemaf"));
    setWindowTitle(QStringLiteral("GESTION ADMON. REC. HUMANOS - Análisis de Cargos -  Semaforo de Carrera"));
    resize(812, 498);
    DCOMCnction->ServerGUID = QStringLiteral("{A871449E-8D08-481A-B0FC-00C38CA7F310}");
    DCOMCnction->ServerName = QStringLiteral("QAcSemaf.QAcSemafDmr");

    PagCtrPrincipal = new QTabWidget(this);
    PagCtrPrincipal->setObjectName(QStringLiteral("PagCtrPrincipal"));
    PagCtrPrincipal->addTab(crearPaginaRuta(), QStringLiteral("Ruta de Carrera"));
    PagCtrPrincipal->addTab(crearPaginaSemaforo(), QStringLiteral("Plan de Carrera"));
    auto *cargos = new QWidget;
    auto *cargosLayout = new QVBoxLayout(cargos);
    cargosLayout->addWidget(nuevaGrilla(cargos));
    cargos->findChild<QTableView *>()->setObjectName(QStringLiteral("DbGCargoUsuario"));
    PagCtrPrincipal->addTab(cargos, QStringLiteral("Cargos Plan de Carrera"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PagCtrPrincipal);

    dtsFrm.Name = QStringLiteral("dtsFrm");
    dtsFrm.OnDataChange = [this](TDataSource *sender, TField *field) { dtsFrmDataChange(sender, field); };
}

TFrmAcSemaf::~TFrmAcSemaf()
{
    if (DtmAcSemaf && DtmAcSemaf->Forma == this)
        DtmAcSemaf->Forma = nullptr;
}

QWidget *TFrmAcSemaf::crearPaginaRuta()
{
    auto *pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("TabShtPlantilla"));
    auto *grupoCargo = new QGroupBox(QStringLiteral("Detalle de Cargo"), pagina);
    grupoCargo->setObjectName(QStringLiteral("GrpBoxCargo"));
    cmbEmpCarg = new QComboBox(grupoCargo);
    cmbEmpCarg->setObjectName(QStringLiteral("cmbEmpCarg"));
    edtEdtNmbCarg = new QLineEdit(cmbEmpCarg);
    edtEdtNmbCarg->setObjectName(QStringLiteral("edtEdtNmbCarg"));
    edtEdtNmbCarg->setReadOnly(true);
    new CubiertaCombo(cmbEmpCarg, edtEdtNmbCarg);
    // Only the user's choice writes the node's position; the rules moving the list do not.
    connect(cmbEmpCarg, &QComboBox::activated, this, [this] {
        ErrorGuard::run([this] { cmbEmpCargChange(); });
    });
    auto *cargoLayout = new QVBoxLayout(grupoCargo);
    cargoLayout->addWidget(cmbEmpCarg);
    cargoLayout->addStretch();

    TreeViewCarrera = new QTreeWidget(pagina);
    TreeViewCarrera->setObjectName(QStringLiteral("TreeViewCarrera"));
    TreeViewCarrera->setHeaderHidden(true);
    TreeViewCarrera->setIndentation(19);
    TreeViewCarrera->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto *layout = new QHBoxLayout(pagina);
    layout->addWidget(grupoCargo, 1);
    layout->addWidget(TreeViewCarrera, 2);
    return pagina;
}

QWidget *TFrmAcSemaf::crearPaginaSemaforo()
{
    auto *pagina = new QWidget;
    pagina->setObjectName(QStringLiteral("TbSSemaforo"));
    RdgFiltro = new TRadioGroup(QStringLiteral("Filtro"), pagina);
    RdgFiltro->setObjectName(QStringLiteral("RdgFiltro"));
    RdgFiltro->setItems({QStringLiteral("Empleado"), QStringLiteral("Cargo")});
    auto *categorias = new QGroupBox(pagina);
    categorias->setObjectName(QStringLiteral("GroupBox1"));
    ChkCompe = new QCheckBox(QStringLiteral("Competencias"), categorias);
    ChkEduFor = new QCheckBox(QStringLiteral("Educación Formal"), categorias);
    ChkEduNo = new QCheckBox(QStringLiteral("Educación no Formal"), categorias);
    ChkExpe = new QCheckBox(QStringLiteral("Experiencia Laboral"), categorias);
    auto *categoriasLayout = new QHBoxLayout(categorias);
    for (QCheckBox *casilla : {ChkCompe, ChkEduFor, ChkEduNo, ChkExpe})
        categoriasLayout->addWidget(casilla);
    ChkCompe->setObjectName(QStringLiteral("ChkCompe"));
    ChkEduFor->setObjectName(QStringLiteral("ChkEduFor"));
    ChkEduNo->setObjectName(QStringLiteral("ChkEduNo"));
    ChkExpe->setObjectName(QStringLiteral("ChkExpe"));
    DBGrdSemaforo = nuevaGrilla(pagina);
    DBGrdSemaforo->setObjectName(QStringLiteral("DBGrdSemaforo"));

    auto *filtros = new QHBoxLayout;
    filtros->addWidget(RdgFiltro);
    filtros->addWidget(categorias, 1);
    auto *layout = new QVBoxLayout(pagina);
    layout->addLayout(filtros);
    layout->addWidget(DBGrdSemaforo, 1);
    return pagina;
}

void TFrmAcSemaf::FormCreate(QObject *Sender)
{
    if (DtmAcSemaf) {
        DtmAcSemaf->Forma = this;
        DtmAcSemaf->ConnectTo(DCOMCnction, &CdsGnEmpre, &CdsTemporal);
        DtmAcSemaf->InicializarlArQry();
        dtsFrm.setDataSet(&DtmAcSemaf->QryAcPprom);
        DtmAcSemaf->gVrCodMenu = QVariant();
        DBGrdSemaforo->setModel(new TDataSetModel(&DtmAcSemaf->CdsAcSemaf, this));
        findChild<QTableView *>(QStringLiteral("DbGCargoUsuario"))
            ->setModel(new TDataSetModel(&DtmAcSemaf->CdsCargUsuario, this));
    }
    gStNombProg = QStringLiteral("QAcSemaf");
    TfrmFormaMaestro::FormCreate(Sender);
    ListaNivNodos.clear();
    ListaNodos.clear();
}

int TFrmAcSemaf::CodigoPaisEmpresa() const
{
    auto &empresas = const_cast<SClientDataSet &>(CdsGnEmpre);
    if (!empresas.Active())
        empresas.Open();
    return empresas.Lookup(QStringLiteral("COD_EMPR"), TApplication::instance().Tag, QStringLiteral("COD_PAIS"))
        .toInt();
}

void TFrmAcSemaf::dtsFrmDataChange(TDataSource *, TField *Field)
{
    if (!Field) {
        if (!gBoClickArbol)
            GenerarArbolCarrera();
        gBoClickArbol = false;
        return;
    }
    if (DtmAcSemaf)
        DtmAcSemaf->NumerarNodo(Field);
}

void TFrmAcSemaf::LlenarListaCargos(const QStringList &items)
{
    const QSignalBlocker quieto(cmbEmpCarg);
    cmbEmpCarg->clear();
    cmbEmpCarg->addItems(items);
    cmbEmpCarg->setCurrentIndex(-1);
}

QStringList TFrmAcSemaf::ListaCargos() const
{
    QStringList items;
    for (int i = 0; i < cmbEmpCarg->count(); ++i)
        items << cmbEmpCarg->itemText(i);
    return items;
}

int TFrmAcSemaf::IndiceCargo() const
{
    return cmbEmpCarg->currentIndex();
}

void TFrmAcSemaf::SeleccionarCargo(int index)
{
    cmbEmpCarg->setCurrentIndex(index);
}

void TFrmAcSemaf::MostrarNombreCargo(const QString &text)
{
    edtEdtNmbCarg->setText(text);
}

void TFrmAcSemaf::LimpiarArbol()
{
    TreeViewCarrera->clear();
}

void TFrmAcSemaf::LimpiarFiltros()
{
    RdgFiltro->setItemIndex(-1);
    for (QCheckBox *categoria : {ChkCompe, ChkEduFor, ChkEduNo, ChkExpe})
        categoria->setChecked(false);
}

engine::Categories TFrmAcSemaf::CategoriasMarcadas() const
{
    engine::Categories categorias;
    categorias.eduFor = ChkEduFor->isChecked();
    categorias.eduNo = ChkEduNo->isChecked();
    categorias.expe = ChkExpe->isChecked();
    categorias.compe = ChkCompe->isChecked();
    return categorias;
}

// One pixel wider and back: the grid lays itself out again with the new rows.
void TFrmAcSemaf::ReacomodarGrillaSemaforo()
{
    DBGrdSemaforo->resize(DBGrdSemaforo->width() + 1, DBGrdSemaforo->height());
    DBGrdSemaforo->resize(DBGrdSemaforo->width() - 1, DBGrdSemaforo->height());
}

// The chosen list item gives the node's position and the company that owns it.
void TFrmAcSemaf::cmbEmpCargChange()
{
    edtEdtNmbCarg->clear();
    const QString item = cmbEmpCarg->currentText();
    if (!DtmAcSemaf || item.isEmpty())
        return;
    TDataSet &plan = DtmAcSemaf->QryAcPprom;
    if (plan.State() == dsBrowse)
        plan.Edit();
    const int guion = item.indexOf(QLatin1Char('-'));
    const int asterisco = item.indexOf(QLatin1Char('*'));
    plan.FieldByName(QStringLiteral("COD_EMCA"))->setAsString(item.left(qMax(guion, 0)));
    plan.FieldByName(QStringLiteral("COD_CARG"))
        ->setAsString(asterisco > guion ? item.mid(guion + 1, asterisco - guion - 1) : QString());
    edtEdtNmbCarg->setText(item);
}

QTreeWidgetItem *TFrmAcSemaf::agregarNodo(QTreeWidgetItem *padre, const QString &titulo, const QString &codCarg,
                                          const QString &codEmca, int imagen)
{
    auto *nodo = padre ? new QTreeWidgetItem(padre) : new QTreeWidgetItem(TreeViewCarrera);
    nodo->setText(0, titulo);
    nodo->setData(0, RolCodCarg, codCarg);
    nodo->setData(0, RolTipNodo, QStringLiteral("C"));
    nodo->setData(0, RolCodEmpl, QVariant());
    nodo->setData(0, RolCodEmca, codEmca);
    nodo->setData(0, RolImagen, imagen);
    const QStyle::StandardPixmap iconos[] = {QStyle::SP_DirHomeIcon, QStyle::SP_FileIcon, QStyle::SP_DialogYesButton};
    nodo->setIcon(0, style()->standardIcon(iconos[imagen]));
    return nodo;
}

void TFrmAcSemaf::GenerarArbolCarrera()
{
    if (!DtmAcSemaf || !DtmAcSemaf->QryAcPprom.Active())
        return;
    TDataSet &plan = DtmAcSemaf->QryAcPprom;
    TField *menu = plan.FieldByName(QStringLiteral("cod_menu"));
    if (menu->IsNull())
        return;
    const QVariant dibujado = DtmAcSemaf->gVrCodMenu;
    if (dibujado.isNull() || dibujado.toInt() != menu->AsInteger()) {
        DtmAcSemaf->gVrCodMenu = menu->AsInteger();
        TreeViewCarrera->clear();
        ListaNivNodos.clear();
        ListaNodos.clear();
        ListaNivNodos << agregarNodo(nullptr, plan.FieldByName(QStringLiteral("nom_menu"))->AsString(),
                                     plan.FieldByName(QStringLiteral("cod_carg"))->AsString(),
                                     plan.FieldByName(QStringLiteral("cod_emca"))->AsString(), 0);
        ListaNodos << QStringLiteral("0");

        DtmAcSemaf->AbrirQueryGrafico();
        TDataSet &nodos = DtmAcSemaf->QryGrafico;
        TField *empresa = nodos.FieldByName(QStringLiteral("cod_emca"));
        TField *cargo = nodos.FieldByName(QStringLiteral("cod_carg"));
        TField *padreCodigo = nodos.FieldByName(QStringLiteral("cod_nodp"));
        TField *nodo = nodos.FieldByName(QStringLiteral("cod_nodo"));
        QTreeWidgetItem *padre = ListaNivNodos.first();
        int padreAnterior = 0;
        for (nodos.First(); !nodos.Eof(); nodos.Next()) {
            if (padreCodigo->AsInteger() != padreAnterior) {
                padreAnterior = padreCodigo->AsInteger();
                const int indice = ListaNodos.indexOf(QString::number(padreAnterior));
                if (indice >= 0)
                    padre = ListaNivNodos.at(indice);
            }
            const QVariant nombre = DtmAcSemaf->QryBiCargo.Lookup(
                QStringLiteral("cod_empr;cod_carg"), QVariantList{empresa->AsVariant(), cargo->AsVariant()},
                QStringLiteral("nom_carg"));
            const QString texto = nombre.isNull() ? QStringLiteral("NO EXISTE EN BASE DE DATOS") : nombre.toString();
            ListaNivNodos << agregarNodo(padre, cargo->AsString() + QLatin1Char(' ') + texto, cargo->AsString(),
                                         empresa->AsString(), 1);
            ListaNodos << QString::number(nodo->AsInteger());
        }
    }

    const int indice = ListaNodos.indexOf(QString::number(plan.FieldByName(QStringLiteral("cod_nodo"))->AsInteger()));
    if (indice < 0)
        return;
    if (TreeViewCarrera->isVisible() && TreeViewCarrera->isEnabled())
        TreeViewCarrera->setFocus();
    // The rules empty the tree without touching the lists: an empty tree selects nothing.
    if (TreeViewCarrera->topLevelItemCount() > 0 && indice < ListaNivNodos.size())
        TreeViewCarrera->setCurrentItem(ListaNivNodos.at(indice));
}
