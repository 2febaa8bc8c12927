#include "TfrmFormaMaestro.h"

#include "SDCOMConnection.h"
#include "TApplication.h"
#include "Ugnnorma.h"

#include <QCloseEvent>

TfrmFormaMaestro::TfrmFormaMaestro(QWidget *parent)
    : QWidget(parent), DCOMCnction(new SDCOMConnection(this))
{
    DCOMCnction->setObjectName(QStringLiteral("DCOMCnction"));
    CdsTemporal.RemoteServer = DCOMCnction;
    CdsTemporal.ProviderName = QStringLiteral("DtsPTemporal");
    CdsGnEmpre.RemoteServer = DCOMCnction;
    CdsGnEmpre.ProviderName = QStringLiteral("DtsPGnEmpreFrm");
}

void TfrmFormaMaestro::AfterConstruction()
{
    FormCreate(this);
}

void TfrmFormaMaestro::FormCreate(QObject *)
{
    gStCodiUsua = gStParUsu;
    gStPassUsua = gStParPas;
    gStCodiEmpr = gStParEmp.trimmed();
    bool isNumber = false;
    const int company = gStCodiEmpr.toInt(&isNumber);
    TApplication::instance().Tag = isNumber ? company : 0;
}

void TfrmFormaMaestro::CambiarTamano(int width, int height)
{
    resize(width, height);
}

void TfrmFormaMaestro::CambiarAltura(int height)
{
    resize(width(), height);
}

void TfrmFormaMaestro::closeEvent(QCloseEvent *event)
{
    event->accept();
}
