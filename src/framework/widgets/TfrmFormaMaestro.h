#pragma once
// Base of the suite's master forms. It brings what every working window of the suite has: the
// connection to the application server, the general-purpose remote dataset, the company
// selector with the company datasets, the record grid with its navigator, query by example and
// notes over the form's data source, the print and preview buttons and menu entries, and the
// status panels. It is built with the session it works in and holds it: the connection, the notes
// and whatever a derived form hands it on to work with that value. Its creation lists the user's
// companies and makes the session's company the chosen one; derived forms add their work to the
// virtual handlers, calling these first. Every key typed in the form passes FormKeyPress first.

#include "framework/Session.h"
#include "framework/dataset/SClientDataSet.h"
#include "framework/dataset/TDataSource.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QScrollArea;
class QToolButton;
class SDCOMConnection;
class TQNavegador;
class TQNotas;
class TQSDBQbe;
class TQsCmbCodigo;
class TVelkarDBgrid;
namespace Ui { class TfrmFormaMaestro; }

class TfrmFormaMaestro : public QWidget {
    Q_OBJECT
public:
    explicit TfrmFormaMaestro(const Session &session, QWidget *parent = nullptr);
    ~TfrmFormaMaestro() override;

    // The session the form works in; its company is the one chosen in the selector.
    const Session &session() const { return m_session; }

    // Runs the creation handler once the object is fully built (called by TApplication).
    void AfterConstruction();

    // The host's layout changes: the form takes the given size, or only the given height.
    virtual void CambiarTamano(int width, int height);
    virtual void CambiarAltura(int height);

    // Reads the form's records of the session's company through the query by example, once the
    // company change has loaded everything they depend on.
    void AbrirDatosForma();
    // Points the form's dataset at the records of `company` (the derived form names its
    // statement); the query by example takes that statement as its base.
    virtual void ConsultaEmpresa(SClientDataSet &dataSet, int company);

    // The session company's country code, kept with the company list (0: none).
    int CodigoPais() const;

    // The connection to the application server that every remote dataset of the module uses.
    SDCOMConnection *DCOMCnction = nullptr;
    // General-purpose remote dataset: given any read statement with named parameters, then opened.
    SClientDataSet CdsTemporal{QStringLiteral("CdsTemporal")};
    // The companies the user may choose, and the source the selector reads them from.
    SClientDataSet CdsGnEmpre{QStringLiteral("CdsGnEmpre")};
    TDataSource DtsGnEmpre;
    SClientDataSet CdsGnUempr{QStringLiteral("CdsGnUempr")};
    // The form's data source: the record grid, navigator, query by example and notes follow it.
    TDataSource dtsFrm;

    // Controls of the master form.
    TQsCmbCodigo *cmbEmpresa = nullptr;
    TVelkarDBgrid *DBGFrm = nullptr;
    TQSDBQbe *DBQbe1 = nullptr;
    TQNotas *NotasVelkar = nullptr;
    TQNavegador *QNvgdrFrm = nullptr;
    QMenuBar *MMnFrm = nullptr;
    QAction *Imprimir1 = nullptr;   // File menu: print
    QAction *Imprimir3 = nullptr;   // File menu: preview
    QAction *Exportar1 = nullptr;   // File menu: the record grid to a CSV file
    QToolButton *spbReporte = nullptr;
    QToolButton *spbPreview = nullptr;
    QMenu *PpMGrilla = nullptr;     // the record grid's pop-up menu
    QScrollArea *ScrBxFrm = nullptr;
    QWidget *PnlModulo = nullptr;   // where a derived form puts its own controls
    QLabel *StsEmpresa = nullptr;
    QLabel *StsUsuario = nullptr;
    QLabel *StsPrograma = nullptr;
    QLabel *StsMotor = nullptr;
    // The program the status panel names (a derived form names itself).
    QString programName;

protected:
    // The framework's form creation: company list, record controls bound to dtsFrm, and the
    // session's company chosen (which runs cmbEmpresaChange).
    virtual void FormCreate(QObject *Sender);
    // The chosen company becomes the session's (see adoptSession); the status panel follows.
    virtual void cmbEmpresaChange(QObject *Sender);
    // A derived form hands the session on to what it owns besides the connection; called each
    // time the form's session changes, before the suite's globals are written from it.
    virtual void sessionAdopted(const Session &session);
    virtual void dtsFrmDataChange(TDataSource *Sender, TField *Field);
    // Runs before the focused control sees a typed character; Key may be changed or set to 0.
    virtual void FormKeyPress(QObject *Sender, QChar &Key);
    // The print and preview buttons and the two File-menu entries.
    virtual void BtnReporteClick(QObject *Sender);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

public:
    // The status panels: company, user, program and the database engine the server names.
    void showStatus();

private:
    void fillCompanyList();
    // The one place the form's session changes (another company, or a password the connection
    // took on): the form keeps the new value, hands it to the connection, the notes and the
    // derived form, and writes the suite's globals from it.
    void adoptSession(const Session &session);
    void exportGrid();

    std::unique_ptr<Ui::TfrmFormaMaestro> ui;
    bool m_resending = false;
    Session m_session;
};
