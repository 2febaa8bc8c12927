#include "framework/widgets/TfrmFormaMaestro.h"
#include "ui_TfrmFormaMaestro.h"

#include "framework/dataset/CompanyCountry.h"
#include "framework/widgets/DialogService.h"
#include "framework/widgets/ErrorGuard.h"
#include "framework/Exceptions.h"
#include "framework/connection/SDCOMConnection.h"
#include "framework/dataset/TDataSetModel.h"
#include "framework/widgets/TQNavegador.h"
#include "framework/widgets/TQNotas.h"
#include "framework/widgets/TQSDBQbe.h"
#include "framework/widgets/TQsCmbCodigo.h"
#include "framework/widgets/TVelkarDBgrid.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QSaveFile>
#include <QTextStream>

TfrmFormaMaestro::TfrmFormaMaestro(const Session &session, QWidget *parent)
    : QWidget(parent), DCOMCnction(new SDCOMConnection(this)), ui(std::make_unique<Ui::TfrmFormaMaestro>()),
      m_session(session)
{
    ui->setupUi(this);
    DCOMCnction->setObjectName(QStringLiteral("DCOMCnction"));
    DCOMCnction->setSession(m_session);
    // A password the connection took on (renewed, or changed) is the form's session's from then on.
    connect(DCOMCnction, &SDCOMConnection::sessionChanged, this, [this](const Session &changed) { adoptSession(changed); });
    CdsTemporal.RemoteServer = DCOMCnction;
    CdsTemporal.ProviderName = QStringLiteral("DtsPTemporal");
    CdsGnEmpre.RemoteServer = DCOMCnction;
    CdsGnEmpre.ProviderName = QStringLiteral("DtsPGnEmpreFrm");
    CdsGnUempr.RemoteServer = DCOMCnction;
    CdsGnUempr.ProviderName = QStringLiteral("DtsPGnEmpreFrm");
    DtsGnEmpre.Name = QStringLiteral("DtsGnEmpre");
    DtsGnEmpre.setDataSet(&CdsGnEmpre);
    dtsFrm.Name = QStringLiteral("dtsFrm");

    cmbEmpresa = ui->cmbEmpresa;
    DBGFrm = ui->DBGFrm;
    DBQbe1 = ui->DBQbe1;
    NotasVelkar = ui->NotasVelkar;
    QNvgdrFrm = ui->QNvgdrFrm;
    MMnFrm = ui->MMnFrm;
    Imprimir1 = ui->Imprimir1;
    Imprimir3 = ui->Imprimir3;
    Exportar1 = ui->Exportar1;
    spbReporte = ui->spbReporte;
    spbPreview = ui->spbPreview;
    ScrBxFrm = ui->ScrBxFrm;
    PnlModulo = ui->PnlModulo;
    StsEmpresa = ui->StsEmpresa;
    StsUsuario = ui->StsUsuario;
    StsPrograma = ui->StsPrograma;
    StsMotor = ui->StsMotor;
    PpMGrilla = new QMenu(this);
    PpMGrilla->setObjectName(QStringLiteral("PpMGrilla"));
    PpMGrilla->addAction(Exportar1);
    DBGFrm->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGFrm, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PpMGrilla->popup(DBGFrm->viewport()->mapToGlobal(at)); });
    cmbEmpresa->setDropDownCount(15);

    connect(cmbEmpresa, &QComboBox::activated, this, [this] {
        ErrorGuard::run([this] {
            cmbEmpresaChange(cmbEmpresa);
            AbrirDatosForma();
        });
    });
    for (QObject *sender : {static_cast<QObject *>(spbReporte), static_cast<QObject *>(spbPreview)})
        connect(static_cast<QToolButton *>(sender), &QToolButton::clicked, this,
                [this, sender] { ErrorGuard::run([&] { BtnReporteClick(sender); }); });
    for (QAction *entry : {Imprimir1, Imprimir3})
        connect(entry, &QAction::triggered, this, [this, entry] { ErrorGuard::run([&] { BtnReporteClick(entry); }); });
    connect(Exportar1, &QAction::triggered, this, [this] { ErrorGuard::run([this] { exportGrid(); }); });
    dtsFrm.OnDataChange = [this](TDataSource *sender, TField *field) {
        ErrorGuard::run([&] { dtsFrmDataChange(sender, field); });
    };
    qApp->installEventFilter(this);
}

TfrmFormaMaestro::~TfrmFormaMaestro()
{
    dtsFrm.OnDataChange = nullptr;
}

void TfrmFormaMaestro::AfterConstruction()
{
    FormCreate(this);
    // Read once the whole creation is done: the derived form's lists exist by then.
    AbrirDatosForma();
}

void TfrmFormaMaestro::FormCreate(QObject *)
{
    DBGFrm->setDataSource(&dtsFrm);
    QNvgdrFrm->setDataSource(&dtsFrm);
    NotasVelkar->setDataSet(dtsFrm.DataSet());
    NotasVelkar->RemoteServer = DCOMCnction;
    NotasVelkar->Usuario = m_session.user;
    DialogService::instance().applicationTitle = windowTitle();

    fillCompanyList();
    if (!cmbEmpresa->setCodigo(QString::number(m_session.company)))
        throw Exception(QStringLiteral("La empresa %1 no existe.").arg(m_session.companyParameter.trimmed()));
    cmbEmpresaChange(cmbEmpresa);
}

void TfrmFormaMaestro::AbrirDatosForma()
{
    SClientDataSet *data = DBQbe1->Dataset();
    if (!data)
        return;
    data->Close();
    ConsultaEmpresa(*data, m_session.company);
    // The company's statement is the base: every query by example keeps to the company.
    DBQbe1->Inicializar(true);
}

void TfrmFormaMaestro::ConsultaEmpresa(SClientDataSet &, int) {}

// The companies the user may choose, as "code - name" items carrying the code.
void TfrmFormaMaestro::fillCompanyList()
{
    CdsGnEmpre.Close();
    CdsGnEmpre.Open();
    const QSignalBlocker quiet(cmbEmpresa);
    cmbEmpresa->clear();
    TField *code = CdsGnEmpre.FieldByName(QStringLiteral("COD_EMPR"));
    TField *name = CdsGnEmpre.FieldByName(QStringLiteral("NOM_EMPR"));
    for (CdsGnEmpre.First(); !CdsGnEmpre.Eof(); CdsGnEmpre.Next())
        cmbEmpresa->AgregarItem(code->AsString(), code->AsString() + QStringLiteral(" - ") + name->AsString());
    cmbEmpresa->setCurrentIndex(-1);
}

void TfrmFormaMaestro::cmbEmpresaChange(QObject *)
{
    const QString code = cmbEmpresa->Codigo();
    if (code.isEmpty())
        return;
    adoptSession(m_session.withCompany(code.toInt()));
    CdsGnEmpre.Locate(QStringLiteral("COD_EMPR"), code.toInt());
    showStatus();
}

void TfrmFormaMaestro::adoptSession(const Session &session)
{
    m_session = session;
    DCOMCnction->setSession(m_session);
    NotasVelkar->Usuario = m_session.user;
    sessionAdopted(m_session);
    m_session.writeSuiteGlobals();
}

void TfrmFormaMaestro::sessionAdopted(const Session &) {}

void TfrmFormaMaestro::showStatus()
{
    const QString &driver = DCOMCnction->driverName();
    StsEmpresa->setText(QStringLiteral("Empresa: %1").arg(cmbEmpresa->currentText()));
    StsUsuario->setText(QStringLiteral("Usuario: %1").arg(m_session.user));
    StsPrograma->setText(QStringLiteral("Programa: %1").arg(programName));
    StsMotor->setText(QStringLiteral("Motor: %1").arg(driver.isEmpty() ? m_session.protocol : driver));
}

int TfrmFormaMaestro::CodigoPais() const
{
    return companyCountryCode(const_cast<SClientDataSet &>(CdsGnEmpre), m_session.company);
}

void TfrmFormaMaestro::dtsFrmDataChange(TDataSource *, TField *) {}

void TfrmFormaMaestro::FormKeyPress(QObject *, QChar &) {}

void TfrmFormaMaestro::BtnReporteClick(QObject *) {}

void TfrmFormaMaestro::exportGrid()
{
    TDataSet *dataSet = DBGFrm->DataSet();
    if (!dataSet || !dataSet->Active())
        throw Exception(QStringLiteral("No hay registros para exportar."));
    const QString file = DialogService::instance().chooseSaveFile(QStringLiteral("Exportar"),
                                                                  QStringLiteral("Texto separado por comas (*.csv)"));
    if (file.isEmpty())
        return;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        throw Exception(QStringLiteral("No se puede escribir \"%1\": %2").arg(file, out.errorString()));
    QTextStream stream(&out);
    const auto quoted = [](QString text) { return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"'); };
    QAbstractItemModel *model = DBGFrm->model();
    QStringList line;
    for (int c = 0; c < model->columnCount(); ++c)
        line << quoted(model->headerData(c, Qt::Horizontal).toString());
    stream << line.join(QLatin1Char(',')) << '\n';
    for (int r = 0; r < model->rowCount(); ++r) {
        line.clear();
        for (int c = 0; c < model->columnCount(); ++c)
            line << quoted(model->index(r, c).data().toString());
        stream << line.join(QLatin1Char(',')) << '\n';
    }
    stream.flush();
    if (!out.commit())
        throw Exception(QStringLiteral("No se puede escribir \"%1\": %2").arg(file, out.errorString()));
}

void TfrmFormaMaestro::CambiarTamano(int width, int height)
{
    resize(width, height);
}

void TfrmFormaMaestro::CambiarAltura(int height)
{
    resize(width(), height);
}

bool TfrmFormaMaestro::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || m_resending)
        return false;
    auto *target = qobject_cast<QWidget *>(watched);
    if (!target || !(target == this || isAncestorOf(target)) || target->window() != window())
        return false;
    // A key the focused control ignored travels on to its parents: the form has seen it already.
    QWidget *focused = QApplication::focusWidget();
    if (focused && target != focused && target->isAncestorOf(focused))
        return false;
    auto *press = static_cast<QKeyEvent *>(event);
    const bool enter = press->key() == Qt::Key_Return || press->key() == Qt::Key_Enter;
    const QString text = press->text();
    if (!enter && (text.size() != 1 || !text.at(0).isPrint()))
        return false;
    const QChar original = enter ? QChar(u'\r') : text.at(0);
    QChar key = original;
    if (!ErrorGuard::run([&] { FormKeyPress(target, key); }) || key.isNull())
        return true;
    if (key == original)
        return false;
    // The handler changed the character: the control receives the changed one instead.
    QKeyEvent changed(QEvent::KeyPress, press->key(), press->modifiers(), QString(key), press->isAutoRepeat());
    m_resending = true;
    QCoreApplication::sendEvent(target, &changed);
    m_resending = false;
    return true;
}

void TfrmFormaMaestro::closeEvent(QCloseEvent *event)
{
    event->accept();
}
