#include "ui/UAcSemafCortes.h"

#include "data/DAcSemaf.h"
#include "data/SuccessionMap.h"
#include "data/SuccessionSnapshots.h"
#include "engine/ResultSchema.h"
#include "framework/Exceptions.h"
#include "framework/dataset/TClientDataSet.h"
#include "framework/dataset/TDataSource.h"
#include "framework/dataset/TField.h"
#include "framework/widgets/DialogService.h"
#include "framework/widgets/ErrorGuard.h"
#include "framework/widgets/TVelkarDBgrid.h"
#include "reportengine/widgets/ReportPreview.h"
#include "reports/SuccessionTables.h"
#include "reports/ReportKinds.h"
#include "reports/TReportesEvolucion.h"
#include "ui/ResultGrid.h"
#include "ui/UAcSemaf.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <memory>

namespace {

// A grid over `dataSet` with the fields of `table`, read-only, each row in the band of the
// percentage `campoBanda` when given (a row without one keeps the grid's background).
TVelkarDBgrid *grillaDe(QWidget *padre, TDataSource &fuente, const engine::ResultTable &tabla, const QString &nombre,
                        const QString &campoBanda = QString())
{
    auto *grilla = new TVelkarDBgrid(padre);
    grilla->setObjectName(nombre);
    grilla->setDataSource(&fuente);
    QList<TVelkarDBgrid::TColumn> columnas;
    for (const engine::ResultField &campo : tabla.fields)
        columnas.append({campo.name, QString(), campo.type == engine::ResultFieldType::Text ? qMax(70, qMin(campo.size * 6, 220)) : 85});
    grilla->setColumns(columnas);
    grilla->setReadOnly(true);
    if (!campoBanda.isEmpty())
        grilla->OnDrawColumnCell = [campo = campoBanda](TVelkarDBgrid *sender, const QRect &, int, const TVelkarDBgrid::TColumn &,
                                                             QStyle::State, TVelkarDBgrid::TCellCanvas &canvas) {
            const QVariant valor = sender->CellValue(canvas.Row, campo);
            if (!valor.isNull())
                canvas.Brush = colorDeBanda(engine::band(valor.toDouble()));
        };
    return grilla;
}

QString textoCorte(const engine::SnapshotHeader &corte)
{
    QString texto = QStringLiteral("%1 - %2 UTC - %3").arg(corte.number).arg(corte.time.toString(QStringLiteral("yyyy-MM-dd HH:mm")), corte.user);
    if (!corte.label.isEmpty())
        texto += QStringLiteral(" - ") + corte.label;
    return texto;
}

// The comparison window: two snapshots chosen, compared, shown and reported.
class VentanaComparacion : public QDialog {
public:
    VentanaComparacion(QWidget *padre, SuccessionSnapshots &cortes, const QVector<engine::SnapshotHeader> &lista, int empresa)
        : QDialog(padre), m_cortes(cortes), m_empresa(empresa)
    {
        setObjectName(QStringLiteral("FrmCompararCortes"));
        setWindowTitle(QStringLiteral("Comparar cortes - Plan %1").arg(lista.first().plan));
        auto *forma = new QFormLayout;
        CmbAnterior = new QComboBox(this);
        CmbAnterior->setObjectName(QStringLiteral("CmbCorteAnterior"));
        CmbPosterior = new QComboBox(this);
        CmbPosterior->setObjectName(QStringLiteral("CmbCortePosterior"));
        for (const engine::SnapshotHeader &corte : lista) {
            CmbAnterior->addItem(textoCorte(corte), corte.number);
            CmbPosterior->addItem(textoCorte(corte), corte.number);
        }
        // The two latest by default: what changed since the last snapshot.
        CmbAnterior->setCurrentIndex(int(lista.size()) - 2);
        CmbPosterior->setCurrentIndex(int(lista.size()) - 1);
        forma->addRow(QStringLiteral("Corte anterior:"), CmbAnterior);
        forma->addRow(QStringLiteral("Corte posterior:"), CmbPosterior);

        BtnComparar = new QPushButton(QStringLiteral("Comparar"), this);
        BtnComparar->setObjectName(QStringLiteral("BtnComparar"));
        BtnReporte = new QPushButton(QStringLiteral("Reporte Evolución"), this);
        BtnReporte->setObjectName(QStringLiteral("BtnRptEvolucion"));
        LblResumen = new QLabel(this);
        LblResumen->setObjectName(QStringLiteral("LblResumenCortes"));
        LblResumen->setWordWrap(true);
        auto *acciones = new QHBoxLayout;
        acciones->addWidget(BtnComparar);
        acciones->addWidget(LblResumen, 1);
        acciones->addWidget(BtnReporte);

        SuccessionMap::createTable(CdsNodos, engine::evolutionNodesTable());
        SuccessionMap::createTable(CdsPersonas, engine::evolutionPeopleTable());
        DtsNodos.setDataSet(&CdsNodos);
        DtsNodos.AutoEdit = false;
        DtsPersonas.setDataSet(&CdsPersonas);
        DtsPersonas.AutoEdit = false;
        auto *division = new QSplitter(Qt::Vertical, this);
        DbGNodos = grillaDe(division, DtsNodos, engine::evolutionNodesTable(), QStringLiteral("DbGEvolucionNodos"));
        DbGPersonas = grillaDe(division, DtsPersonas, engine::evolutionPeopleTable(), QStringLiteral("DbGEvolucionPersonas"),
                               engine::snapshotfield::PorActu);
        division->addWidget(DbGNodos);
        division->addWidget(DbGPersonas);

        auto *cerrar = new QDialogButtonBox(QDialogButtonBox::Close, this);
        connect(cerrar, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto *todo = new QVBoxLayout(this);
        todo->addLayout(forma);
        todo->addLayout(acciones);
        todo->addWidget(division, 1);
        todo->addWidget(cerrar);
        resize(900, 600);

        ErrorGuard::connect(BtnComparar, &QPushButton::clicked, this, [this](bool) { comparar(); });
        ErrorGuard::connect(BtnReporte, &QPushButton::clicked, this, [this](bool) { reporte(); });
    }

    QComboBox *CmbAnterior = nullptr;
    QComboBox *CmbPosterior = nullptr;
    QPushButton *BtnComparar = nullptr;
    QPushButton *BtnReporte = nullptr;
    QLabel *LblResumen = nullptr;
    TVelkarDBgrid *DbGNodos = nullptr;
    TVelkarDBgrid *DbGPersonas = nullptr;
    TClientDataSet CdsNodos{QStringLiteral("CdsEvolucionNodos")};
    TClientDataSet CdsPersonas{QStringLiteral("CdsEvolucionPersonas")};
    TDataSource DtsNodos;
    TDataSource DtsPersonas;

private:
    void comparar()
    {
        m_comparacion.reset();
        CdsNodos.EmptyDataSet();
        CdsPersonas.EmptyDataSet();
        LblResumen->clear();
        const int anterior = CmbAnterior->currentData().toInt();
        const int posterior = CmbPosterior->currentData().toInt();
        if (anterior == posterior)
            throw Exception(QStringLiteral("Elija dos cortes distintos para comparar."));
        engine::SnapshotComparison comparacion = m_cortes.compare(anterior, posterior, m_empresa);
        engine::fillEvolutionNodeRows(CdsNodos, comparacion);
        engine::fillEvolutionPeopleRows(CdsPersonas, comparacion);
        int verdes = 0;
        for (const engine::NodeChange &nodo : comparacion.nodes)
            verdes += nodo.greenAfter - nodo.greenBefore;
        int movidos = 0;
        for (const engine::PersonChange &persona : comparacion.people)
            movidos += persona.move != engine::BandMove::Same;
        LblResumen->setText(QStringLiteral("%1: %2 nodos, cambio de verdes %3%4, %5 personas con cambio de banda.")
                                .arg(TReportesEvolucion::textoCortes(comparacion))
                                .arg(comparacion.nodes.size())
                                .arg(verdes > 0 ? QStringLiteral("+") : QString())
                                .arg(verdes)
                                .arg(movidos));
        m_comparacion = std::make_unique<engine::SnapshotComparison>(std::move(comparacion));
    }

    void reporte()
    {
        if (!m_comparacion)
            throw Exception(QStringLiteral("Primero pulse \"Comparar\" con los dos cortes elegidos."));
        if (!DtmAcSemaf)
            return;
        // The preview belongs to the main form: it stays open when this window closes.
        reportKindNamed(QStringLiteral("evolution")).produce(ReportData{*DtmAcSemaf, QString(), m_comparacion.get()},
                                                             [this](report::Report &evolucion) {
                                                                 report::ReportPreview::showReport(evolucion, parentWidget());
                                                             });
    }

    SuccessionSnapshots &m_cortes;
    int m_empresa = 0;
    std::unique_ptr<engine::SnapshotComparison> m_comparacion;
};

} // namespace

TCortesSucesion::TCortesSucesion(TFrmAcSemaf &forma) : QObject(&forma), m_forma(forma)
{
    setObjectName(QStringLiteral("CortesSucesion"));
    BtnGuardarCorte = new QPushButton(QStringLiteral("Guardar corte"), &forma);
    BtnGuardarCorte->setObjectName(QStringLiteral("BtnGuardarCorte"));
    BtnCompararCortes = new QPushButton(QStringLiteral("Comparar cortes"), &forma);
    BtnCompararCortes->setObjectName(QStringLiteral("BtnCompararCortes"));
    // Beside the map's reports, before "Reporte Mapa".
    if (auto *acciones = forma.findChild<QHBoxLayout *>(QStringLiteral("LytSucesionAcciones"))) {
        const int antes = qMax(0, acciones->indexOf(forma.BtnRptMapa));
        acciones->insertWidget(antes, BtnCompararCortes);
        acciones->insertWidget(antes, BtnGuardarCorte);
    }
    BntHistorialCortes = new QAction(QStringLiteral("Historial en Cortes"), this);
    BntHistorialCortes->setObjectName(QStringLiteral("BntHistorialCortes"));
    forma.PopupMenu1->addAction(BntHistorialCortes);

    ErrorGuard::connect(BtnGuardarCorte, &QPushButton::clicked, this, [this](bool) { BtnGuardarCorteClick(); });
    ErrorGuard::connect(BtnCompararCortes, &QPushButton::clicked, this, [this](bool) { BtnCompararCortesClick(); });
    ErrorGuard::connect(BntHistorialCortes, &QAction::triggered, this, [this](bool) { BntHistorialCortesClick(); });
}

QString TCortesSucesion::sinMapaMessage()
{
    return QStringLiteral("Primero debe Calcular el Mapa de Sucesión: el corte guarda el mapa que muestra la página.");
}

QString TCortesSucesion::pocosCortesMessage(int plan, int cortes)
{
    return QStringLiteral("El plan %1 tiene %2 cortes guardados; se necesitan dos para comparar.").arg(plan).arg(cortes);
}

void TCortesSucesion::BtnGuardarCorteClick()
{
    if (!DtmAcSemaf || !m_forma.DCOMCnction)
        return;
    const SuccessionTables &mapa = m_forma.MapaSucesion();
    if (!mapa.hasMap())
        throw Exception(sinMapaMessage());
    const engine::SuccessionResult &resultado = mapa.result();

    QDialog pregunta(&m_forma);
    pregunta.setObjectName(QStringLiteral("FrmGuardarCorte"));
    pregunta.setWindowTitle(QStringLiteral("Guardar corte"));
    auto *etiqueta = new QLineEdit(&pregunta);
    etiqueta->setObjectName(QStringLiteral("EdtEtiquetaCorte"));
    etiqueta->setMaxLength(SuccessionSnapshots::kLabelLength);
    auto *forma = new QFormLayout;
    forma->addRow(new QLabel(QStringLiteral("Plan %1 %2: %3 nodos.").arg(resultado.plan).arg(resultado.planName.trimmed())
                                 .arg(resultado.nodes.size()), &pregunta));
    forma->addRow(QStringLiteral("Etiqueta (opcional):"), etiqueta);
    auto *botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &pregunta);
    connect(botones, &QDialogButtonBox::accepted, &pregunta, &QDialog::accept);
    connect(botones, &QDialogButtonBox::rejected, &pregunta, &QDialog::reject);
    auto *todo = new QVBoxLayout(&pregunta);
    todo->addLayout(forma);
    todo->addWidget(botones);
    if (DialogService::instance().execModal(&pregunta) != QDialog::Accepted)
        return;
    // The map was computed with the categories ticked now: ticking another clears it.
    const engine::SnapshotHeader corte = SuccessionSnapshots(*m_forma.DCOMCnction)
                                             .save(resultado, m_forma.CategoriasMarcadas(), m_forma.gBoNexofEduSinPuntos,
                                                   etiqueta->text());
    DialogService::instance().showMessage(QStringLiteral("Corte %1 guardado: plan %2, %3 nodos, %4 personas.")
                                              .arg(corte.number).arg(corte.plan).arg(corte.nodes).arg(corte.people));
}

void TCortesSucesion::BtnCompararCortesClick()
{
    if (!DtmAcSemaf || !m_forma.DCOMCnction)
        return;
    if (DtmAcSemaf->gVrCodMenu.isNull() || DtmAcSemaf->gVrCodMenu.toInt() == 0)
        throw Exception(QStringLiteral("Primero debe seleccionar un plan de carrera en \"Ruta de Carrera\"."));
    const int plan = DtmAcSemaf->gVrCodMenu.toInt();
    SuccessionSnapshots cortes(*m_forma.DCOMCnction);
    const QVector<engine::SnapshotHeader> lista = cortes.list(m_forma.session().company, plan);
    if (lista.size() < 2)
        throw Exception(pocosCortesMessage(plan, int(lista.size())));
    VentanaComparacion ventana(&m_forma, cortes, lista, m_forma.session().company);
    DialogService::instance().execModal(&ventana);
}

void TCortesSucesion::BntHistorialCortesClick()
{
    if (!DtmAcSemaf || !m_forma.DCOMCnction)
        return;
    TDataSet &resultado = DtmAcSemaf->CdsAcSemaf;
    if (!resultado.Active() || resultado.IsEmpty())
        throw Exception(QStringLiteral("Primero genere el semáforo y elija un empleado del resultado."));
    const double empleado = resultado.FieldByName(engine::resultfield::CodEmpl)->AsFloat();
    const QString nombre = (resultado.FieldByName(engine::resultfield::ApeEmpl)->AsString().trimmed() + QLatin1Char(' ')
                            + resultado.FieldByName(engine::resultfield::NomEmpl)->AsString().trimmed()).trimmed();
    const QVector<engine::HistoryEntry> historia = SuccessionSnapshots(*m_forma.DCOMCnction).history(m_forma.session().company, empleado);

    QDialog ventana(&m_forma);
    ventana.setObjectName(QStringLiteral("FrmHistorialCortes"));
    ventana.setWindowTitle(QStringLiteral("Historial en Cortes - %1").arg(nombre));
    TClientDataSet lineas(QStringLiteral("CdsHistorialCortes"));
    SuccessionMap::createTable(lineas, engine::snapshotHistoryTable());
    engine::fillSnapshotHistoryRows(lineas, historia);
    TDataSource fuente;
    fuente.setDataSet(&lineas);
    fuente.AutoEdit = false;
    auto *titulo = new QLabel(historia.isEmpty()
                                  ? QStringLiteral("%1 (%2) no está en ningún corte de la empresa.").arg(nombre, QString::number(empleado, 'f', 0))
                                  : QStringLiteral("%1 (%2) en %3 líneas de corte.").arg(nombre, QString::number(empleado, 'f', 0)).arg(historia.size()),
                              &ventana);
    titulo->setObjectName(QStringLiteral("LblHistorialCortes"));
    TVelkarDBgrid *grilla = grillaDe(&ventana, fuente, engine::snapshotHistoryTable(), QStringLiteral("DbGHistorialCortes"),
                                     engine::snapshotfield::PorEmpl);
    auto *cerrar = new QDialogButtonBox(QDialogButtonBox::Close, &ventana);
    connect(cerrar, &QDialogButtonBox::rejected, &ventana, &QDialog::reject);
    auto *todo = new QVBoxLayout(&ventana);
    todo->addWidget(titulo);
    todo->addWidget(grilla, 1);
    todo->addWidget(cerrar);
    ventana.resize(800, 400);
    DialogService::instance().execModal(&ventana);
}
