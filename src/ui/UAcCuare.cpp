#include "ui/UAcCuare.h"

#include "data/DAcSemaf.h"
#include "framework/widgets/DialogService.h"
#include "framework/widgets/ErrorGuard.h"
#include "framework/Exceptions.h"
#include "framework/widgets/TQNavegador.h"
#include "framework/widgets/TQPField.h"
#include "framework/widgets/TVelkarDBgrid.h"
#include "ui/LookupStatement.h"

#include <QScreen>
#include <QToolButton>

TFrmAcCuare::TFrmAcCuare(TDtmAcSemaf *modulo, QWidget *parent)
    : QDialog(parent), m_modulo(modulo)
{
    // The .ui gives the client area (658 x 218) as the size and the minimum; with the frame the
    // window is at least 674 x 256.
    setupUi(this);
    setObjectName(QStringLiteral("FrmAcCuare"));
    configurarGrilla();
    configurarLupa();
    configurarNavegador();
}

TFrmAcCuare::~TFrmAcCuare()
{
    // The data source belongs to the data module and outlives the window.
    DBGrdCuadro->setDataSource(nullptr);
    QNvgdrCuadro->setDataSource(nullptr);
}

void TFrmAcCuare::configurarGrilla()
{
    using Col = TVelkarDBgrid::TColumn;
    // Titles are the fields' display labels; the widths share the window's width out so that
    // names and positions can be read.
    Col empleado{QStringLiteral("COD_EMPL"), QString(), 84};
    empleado.ButtonStyle = TVelkarDBgrid::cbsEllipsis;
    Col jefe{QStringLiteral("JEF_DEPE"), QString(), 40};
    jefe.PickList = QStringList{QStringLiteral("Si"), QStringLiteral("No")};
    DBGrdCuadro->setColumns({empleado, Col{QStringLiteral("DtfNmbEmpleado"), QString(), 200},
                             Col{QStringLiteral("COD_CARG"), QString(), 56},
                             Col{QStringLiteral("DtfNmbCargo"), QString(), 210}, jefe,
                             Col{QStringLiteral("DtfEdad"), QString(), 40}});
    DBGrdCuadro->setReadOnly(false);
    DBGrdCuadro->setDataSource(&m_modulo->DtsAcCuare);
    DBGrdCuadro->OnEditButtonClick = [this](TVelkarDBgrid *sender) { DBGrdCuadroEditButtonClick(sender); };
}

void TFrmAcCuare::configurarLupa()
{
    QPFldCod_carg->Tag = 1;
    QPFldCod_carg->Variables = QStringList{QStringLiteral("COD_EMPL"), QStringLiteral("COD_CARG")};
    QPFldCod_carg->Destino = QStringList{QStringLiteral("COD_EMPL"), QStringLiteral("COD_CARG")};
    QPFldCod_carg->Titulo = QStringLiteral(" Lista de Valores");
    QPFldCod_carg->Titulos = QStringList{QStringLiteral("Identificacion"), QStringLiteral("Nombres"),
                                         QStringLiteral("Apellidos"), QStringLiteral("Cargo"),
                                         QStringLiteral("Contrato")};
    QPFldCod_carg->DataBaseName = QStringLiteral("DBVelkar");
    // The window may open without the main form as its parent: the look-up runs on the
    // connection of the rows it fills.
    QPFldCod_carg->RemoteServer = m_modulo->QryAcCuare.RemoteServer;
    QPFldCod_carg->OnClick = [this](TQPField *sender) { QPFldCod_cargClick(sender); };
}

void TFrmAcCuare::configurarNavegador()
{
    QNvgdrCuadro->setVisibleButtons({TQNavegador::nbFirst, TQNavegador::nbPrior, TQNavegador::nbNext,
                                     TQNavegador::nbLast, TQNavegador::nbInsert, TQNavegador::nbDelete,
                                     TQNavegador::nbPost, TQNavegador::nbCancel});
    for (QToolButton *boton : QNvgdrCuadro->findChildren<QToolButton *>())
        boton->setAutoRaise(true);
    QNvgdrCuadro->setDataSource(&m_modulo->DtsAcCuare);
}

int TFrmAcCuare::MostrarCuadroReemplazo(TDtmAcSemaf *modulo, QWidget *parent)
{
    if (!modulo || !modulo->QryAcPprom.Active() || modulo->QryAcPprom.IsEmpty() || !modulo->QryAcCuare.Active())
        throw Exception(QStringLiteral("Seleccione un nodo del plan de carrera para ver su cuadro de reemplazo."));
    TFrmAcCuare ventana(modulo, parent);
    return DialogService::instance().execModal(&ventana);
}

void TFrmAcCuare::DBGrdCuadroEditButtonClick(TVelkarDBgrid *)
{
    static_cast<QAbstractButton *>(QPFldCod_carg)->click();
}

void TFrmAcCuare::QPFldCod_cargClick(TQPField *Sender)
{
    TDataSet *filas = &m_modulo->QryAcCuare;
    // The look-up writes into the row being edited; a click on a saved row edits it.
    if (filas->State() == dsBrowse) {
        if (filas->IsEmpty())
            filas->Append();
        else
            filas->Edit();
    }
    Sender->DataSet = filas;
    useStatement(*Sender, QStringLiteral("ListaEmpleados"), {{QStringLiteral("empresa"), m_modulo->session().company}});
    Sender->Ejecutar();
}

void TFrmAcCuare::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *pantalla = screen())
        move(pantalla->availableGeometry().center() - rect().center());
}

void TFrmAcCuare::done(int result)
{
    if (!resolverFilaPendiente())
        return;
    QDialog::done(result);
}

// True when nothing is left pending: the row was saved, discarded, or there was none.
bool TFrmAcCuare::resolverFilaPendiente()
{
    TDataSet *filas = &m_modulo->QryAcCuare;
    if (filas->State() != dsEdit && filas->State() != dsInsert)
        return true;
    if (!DialogService::instance().confirm(QStringLiteral("¿Desea guardar los cambios del cuadro de reemplazo?"))) {
        filas->Cancel();
        return true;
    }
    return ErrorGuard::run([filas] { filas->Post(); });
}
