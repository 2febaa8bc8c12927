#include "ui/UAcSemaf.h"

#include "ui/UAcCuare.h"

#include "reports/SuccessionTables.h"

#include "protocol/CommaText.h"
#include "data/DAcSemaf.h"
#include "data/StatementCatalog.h"
#include "reportengine/widgets/ReportPreview.h"
#include "reportengine/widgets/ReportPrinting.h"
#include "reports/ReportKinds.h"
#include "framework/widgets/ErrorGuard.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"
#include "ui/UAcSemafCortes.h"
#include "framework/widgets/TDBEdit.h"
#include "framework/dataset/TDtmGnLibre.h"
#include "framework/widgets/TQInfoAyuda.h"
#include "framework/widgets/TQNavegador.h"
#include "framework/widgets/TQNotas.h"
#include "framework/widgets/TQPField.h"
#include "framework/widgets/TQSDBQbe.h"
#include "framework/widgets/TQsCmbCodigo.h"
#include "framework/widgets/TRadioGroup.h"
#include "framework/widgets/TVelkarDBgrid.h"
#include "framework/Ugnnorma.h"
#include "engine/ResultSchema.h"
#include "ui/ResultGrid.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <functional>

QPointer<TFrmAcSemaf> FrmAcSemaf;

namespace {

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

// Hands every key release of a control to a handler that runs inside the error guard; the
// release goes no further.
class SoltarTecla : public QObject {
public:
    using Manejador = std::function<void(QKeyEvent *)>;
    SoltarTecla(QWidget *control, Manejador manejador) : QObject(control), m_manejador(std::move(manejador))
    {
        control->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyRelease)
            return false;
        ErrorGuard::run([&] { m_manejador(static_cast<QKeyEvent *>(event)); });
        return true;
    }

private:
    Manejador m_manejador;
};

} // namespace

TFrmAcSemaf::TFrmAcSemaf(const Session &session, QWidget *parent) : TfrmFormaMaestro(session, parent)
{
    programName = TDtmAcSemaf::kProgramName;
    setObjectName(QStringLiteral("FrmAcSemaf"));
    setWindowTitle(QStringLiteral("GESTION ADMON. REC. HUMANOS - Análisis de Cargos -  Semaforo de Carrera"));
    setProperty("helpContext", 5302006);
    resize(812, 498);
    DCOMCnction->ServerGUID = QStringLiteral("{A871449E-8D08-481A-B0FC-00C38CA7F310}");
    DCOMCnction->ServerName = QStringLiteral("QAcSemaf.QAcSemafDmr");
    crearControles();
    conectarControles();
}

TFrmAcSemaf::~TFrmAcSemaf()
{
    if (DtmAcSemaf && DtmAcSemaf->Forma == this)
        DtmAcSemaf->Forma = nullptr;
}

void TFrmAcSemaf::crearControles()
{
    setupUi(PnlModulo);

    RdgFiltro->setTitle(QStringLiteral("Filtro"));
    RdgFiltro->setItems({QStringLiteral("Empleado"), QStringLiteral("Cargo")});
    edtEdtNmbCarg = new QLineEdit(cmbEmpCarg);
    edtEdtNmbCarg->setObjectName(QStringLiteral("edtEdtNmbCarg"));
    edtEdtNmbCarg->setEnabled(false);
    new CubiertaCombo(cmbEmpCarg, edtEdtNmbCarg);
    new SoltarTecla(edtEdtNmbCarg, [this](QKeyEvent *tecla) {
        int Key = tecla->key();
        edtEdtNmbCargKeyUp(edtEdtNmbCarg, Key, tecla->modifiers());
    });
    DBEcod_nodo->setStyleSheet(QStringLiteral("TDBEdit { background: palette(button); }"));
    // The three calculated fields are skipped by the Tab key.
    for (TDBEdit *calculado : {DBEDtfCodNive, DBEDtfNmbNivel, DBEDtfPunRequ}) {
        calculado->setFocusPolicy(Qt::ClickFocus);
        calculado->setReadOnly(true);
    }
    QNotas1->TituloForma = QStringLiteral("Semaforo de Carrera");
    QNotas1->Forma = QStringLiteral("FrmAcSemaf");
    QNotas1->Campo = QStringLiteral("cod_menu");
    NotasVelkar->TituloForma = QStringLiteral("Semaforo de Carrera");
    NotasVelkar->Forma = QStringLiteral("FrmAcSemaf");
    NotasVelkar->Campo = QStringLiteral("cod_menu");
    QPField1->setObjectName(QStringLiteral("QPField1"));
    QNavegador1->setVisibleButtons(TQNavegador::nbFirst | TQNavegador::nbPrior | TQNavegador::nbNext
                                   | TQNavegador::nbLast);

    QInfoAyuda1 = new TQInfoAyuda(this);
    QInfoAyuda1->setObjectName(QStringLiteral("QInfoAyuda1"));
    QInfoAyuda1->session = session();
    PppMnEmpleados = new QMenu(this);
    PppMnEmpleados->setObjectName(QStringLiteral("PppMnEmpleados"));
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    BntRepCompe = PopupMenu1->addAction(QStringLiteral("Ver Competencias"));
    BntRepCompe->setObjectName(QStringLiteral("BntRepCompe"));
    configurarGrillas();
    configurarMapa();
    // Enter in a grid: the form's key handler moves the column, the grid only hears the key.
    for (TVelkarDBgrid *grilla : findChildren<TVelkarDBgrid *>())
        grilla->setEnterMovesColumn(false);
    PagCtrPrincipal->setCurrentIndex(0);
}

void TFrmAcSemaf::conectarControles()
{
    const auto guarded = [this](auto handler) { return [this, handler] { ErrorGuard::run([&] { (this->*handler)(); }); }; };
    connect(cmbEmpCarg, &QComboBox::activated, this, guarded(&TFrmAcSemaf::cmbEmpCargChange));
    connect(TreeViewCarrera, &QTreeWidget::itemClicked, this, guarded(&TFrmAcSemaf::TreeViewCarreraClick));
    connect(TreeViewCarrera, &QTreeWidget::itemDoubleClicked, this, guarded(&TFrmAcSemaf::TreeViewCarreraDblClick));
    QPField1->OnClick = [this](TQPField *) { QPField1Click(); };
    QPField2->OnClick = [this](TQPField *) { QPField2Click(); };
    connect(SpdBttnRefrescar, &QToolButton::clicked, this, guarded(&TFrmAcSemaf::SpdBttnRefrescarClick));
    for (QPushButton *boton : {BitBtn1, BitBtn2})
        connect(boton, &QPushButton::clicked, this, guarded(&TFrmAcSemaf::BntRepCompeClick));
    connect(BntRepCompe, &QAction::triggered, this, guarded(&TFrmAcSemaf::BntRepCompeClick));
    connect(BtnCuare, &QPushButton::clicked, this, guarded(&TFrmAcSemaf::BtnCuareClick));
    connect(PppMnEmpleados->addAction(QStringLiteral("Experiencia Laboral")), &QAction::triggered, this,
            guarded(&TFrmAcSemaf::ExperienciaLaboral1Click));
    connect(PppMnEmpleados->addAction(QStringLiteral("Educación Formal")), &QAction::triggered, this,
            guarded(&TFrmAcSemaf::EducacinFormal1Click));
    connect(PppMnEmpleados->addAction(QStringLiteral("Educación No Formal")), &QAction::triggered, this,
            guarded(&TFrmAcSemaf::EducacinNoFormal1Click));
    TreeViewCarrera->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TreeViewCarrera, &QWidget::customContextMenuRequested, this, &TFrmAcSemaf::menuDelArbol);
    DBGrdSemaforo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrdSemaforo, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        PopupMenu1->popup(DBGrdSemaforo->viewport()->mapToGlobal(at));
    });
    conectarMapa();
    new TCortesSucesion(*this);   // the page's snapshots, a child of the form
}

void TFrmAcSemaf::ConsultaEmpresa(SClientDataSet &dataSet, int company)
{
    StatementCatalog::module().use(dataSet, QStringLiteral("PlanesEmpresa"));
    dataSet.ParamByName(QStringLiteral("empresa"))->setAsInteger(company);
}

void TFrmAcSemaf::FormCreate(QObject *Sender)
{
    if (DtmAcSemaf) {
        // The data module works in the form's session, from here on as the form adopts another.
        DtmAcSemaf->setSession(session());
        DtmAcSemaf->Forma = this;
        DtmAcSemaf->ConnectTo(DCOMCnction, &CdsGnEmpre, &CdsTemporal);
        DtmAcSemaf->InicializarlArQry();
        dtsFrm.setDataSet(&DtmAcSemaf->QryAcPprom);
        DBQbe1->SetDataset(&DtmAcSemaf->QryAcPprom);
        DBQbe1->ExcluirCampos = {QStringLiteral("cod_nodo"), QStringLiteral("cod_nodp")};
        DtmAcSemaf->gVrCodMenu = QVariant();   // no plan read yet
        for (TDBEdit *edit : {DBEcod_menu, DBEnom_menu, DBEcod_nodo, DBEcod_carg, DBEDtfCodNive, DBEDtfNmbNivel,
                              DBEDtfPunRequ, DBEcod_nodp}) {
            edit->setDataSource(&dtsFrm);
            edit->setDataField(edit->objectName().mid(3));
        }
        DBECOD_EMPL->setDataSource(&DtmAcSemaf->DtsNmContr);
        DBECOD_EMPL->setDataField(QStringLiteral("COD_EMPL"));
        QPField1->DataSet = QPField2->DataSet = &DtmAcSemaf->QryAcPprom;
        QPField1->RemoteServer = QPField2->RemoteServer = DCOMCnction;
        QNotas1->setDataSet(&DtmAcSemaf->QryAcPprom);
        QNotas1->RemoteServer = DCOMCnction;
        DBGrdSemaforo->setDataSource(&DtmAcSemaf->DtsAcSemaf);
        mostrarColumnas(*DBGrdSemaforo, engine::trafficLightTable());
        DbGCargoUsuario->setDataSource(&DtmAcSemaf->DtsCargUsuario);
        mostrarColumnas(*DbGCargoUsuario, engine::careerPositionsTable());
        QNavegador1->setDataSource(&DtmAcSemaf->DtsAcSemaf);
        DBGFrm->setColumns({{QStringLiteral("COD_MENU")}, {QStringLiteral("COD_NODO"), QString(), 0, true, QColor(240, 240, 240)},
                            {QStringLiteral("TIP_MENU")}, {QStringLiteral("NOM_MENU")}, {QStringLiteral("COD_CARG")},
                            {QStringLiteral("DtfNmbCargo")}, {QStringLiteral("COD_EMCA")}, {QStringLiteral("DtfCodNive")},
                            {QStringLiteral("DtfNmbNivel")}, {QStringLiteral("DtfPunRequ")}, {QStringLiteral("NUM_ANOS")},
                            {QStringLiteral("NUM_DIAS")}});
        DBGFrm->setBackgroundColor(QColor(255, 255, 225));  // clInfoBk
    }
    // The suite reads the running program's name from its global; ours read kProgramName.
    gStNombProg = programName;
    TfrmFormaMaestro::FormCreate(Sender);
    ListaNivNodos.clear();
    ListaNodos.clear();
    if (DtmAcSemaf)
        DtmAcSemaf->gBoReporte = false;
    QNotas1->Usuario = session().user;
}

void TFrmAcSemaf::sessionAdopted(const Session &session)
{
    if (DtmAcSemaf)
        DtmAcSemaf->setSession(session);
    QInfoAyuda1->session = session;
}

void TFrmAcSemaf::cmbEmpresaChange(QObject *Sender)
{
    if (!DtmAcSemaf)
        return TfrmFormaMaestro::cmbEmpresaChange(Sender);
    TDtmAcSemaf &datos = *DtmAcSemaf;
    datos.readAheadCompany(cmbEmpresa->Codigo().toInt());
    datos.BanderaLog(QStringLiteral("EMPR - INIC"), false);
    // Another company starts on the first page of every tab set.
    for (QTabWidget *paginas : findChildren<QTabWidget *>())
        paginas->setCurrentIndex(0);
    limpiarMapa();  // a map belongs to the company it was computed in
    // The tree and the positions it yields belong to the company being left, even when the new
    // company's plans have the same numbers, or it has none.
    olvidarArbol();
    TfrmFormaMaestro::cmbEmpresaChange(Sender);
    datos.ValidaGrupoEmpresarial();
    // Replacements, contracts and profiles belong to the company being left.
    datos.QryAcCuare.Close();
    datos.QryNmContr.Close();
    datos.QryBiDtpca.Close();
    datos.QryBiCargo.Open();
    const int empresa = session().company;
    DtmGnLibre->ReConsultar(&datos.QryEmpleado, {empresa});

    // The drill-down opens the suite's programs on the employee of the tree: their paths for this
    // company, behind the hidden labels, each with the employee as its key.
    const QString programas = QStringLiteral("\"QBiHvext\",\"QBiEdfor\",\"QBiEdnfo\",\"QBiCargo\"");
    const QStringList rutas = protocol::CommaText::split(DCOMCnction->ProgramPaths(programas));
    QInfoAyuda1->AsignarEventosMouseDown({LblEmpleadoHoja, LblEmpleadoFormal, LblEmpleadoNoFormal, Lblcod_carg},
                                         rutas);
    for (QLabel *etiqueta : {LblEmpleadoHoja, LblEmpleadoFormal, LblEmpleadoNoFormal})
        QInfoAyuda1->CrearLlavesInformacion(QStringLiteral("cod_empl"), QStringLiteral("COD_EMPL"), etiqueta);
    datos.BanderaLog(QStringLiteral("EMPR - FINA"), false);

    // The company's header, as the reports print it.
    datos.QryGnEmpre.Close();
    datos.QryGnEmpre.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(empresa);
    datos.QryGnEmpre.Open();
    // The company's flag Q0000190: matched education earns the points the profile requires.
    gBoNexofEduSinPuntos = datos.VerNexoFlags(QStringLiteral("Q0000190")).toString() == QLatin1String("S");
    // Nothing drawn meanwhile stays: the plan rows read next for this company draw the tree
    // anew, whatever its plan number, or leave it empty when the company has no plan.
    olvidarArbol();
}

void TFrmAcSemaf::dtsFrmDataChange(TDataSource *Sender, TField *Field)
{
    TfrmFormaMaestro::dtsFrmDataChange(Sender, Field);
    if (!Field) {
        if (!(DtmAcSemaf && DtmAcSemaf->gBoReporte) && !gBoClickArbol)
            GenerarArbolCarrera();
        gBoClickArbol = false;
        return;
    }
    if (DtmAcSemaf)
        DtmAcSemaf->NumerarNodo(Field);
}

void TFrmAcSemaf::FormKeyPress(QObject *Sender, QChar &Key)
{
    TfrmFormaMaestro::FormKeyPress(Sender, Key);
    if (Key != QChar(u'\r')) {
        // Only a to z: accented letters and ñ stay as typed.
        if (Key >= QChar(u'a') && Key <= QChar(u'z'))
            Key = QChar(Key.unicode() - u'a' + u'A');
        return;
    }
    QWidget *activo = focusWidget();
    auto *grilla = qobject_cast<TVelkarDBgrid *>(activo);
    if (!grilla && activo && activo->parentWidget())
        grilla = qobject_cast<TVelkarDBgrid *>(activo->parentWidget());  // the grid's viewport
    if (grilla) {
        // The key stays Enter: the grid hears it too, and only reports the activation.
        const int columnas = grilla->model()->columnCount();
        if (columnas > 0)
            grilla->setSelectedIndex(grilla->SelectedIndex() + 1 < columnas ? grilla->SelectedIndex() + 1 : 0);
        return;
    }
    Key = QChar();
    focusNextChild();
}

void TFrmAcSemaf::BtnCuareClick()
{
    TFrmAcCuare::MostrarCuadroReemplazo(DtmAcSemaf.data(), this);
}

void TFrmAcSemaf::BtnReporteClick(QObject *Sender)
{
    if (!DtmAcSemaf)
        return;
    // The preview button and the File menu's preview entry show the report; the others print it.
    const bool vistaPrevia = Sender == spbPreview || Sender == Imprimir3;
    reportKindNamed(QStringLiteral("list")).produce(ReportData{*DtmAcSemaf}, [&](report::Report &listado) {
        if (vistaPrevia) {
            report::ReportPreview::showReport(listado, this);
            return;
        }
        const std::optional<report::PreparedReport> paginas = report::ReportPrinting::prepare(listado, this);
        if (paginas)
            report::ReportPrinting::printToDefaultPrinter(*paginas, this);
    });
}

// ---- IFrmAcSemaf over the controls ----

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
