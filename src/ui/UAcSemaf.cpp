#include "UAcSemaf.h"

#include "DAcSemaf.h"
#include "SDCOMConnection.h"
#include "Ugnnorma.h"

QPointer<TFrmAcSemaf> FrmAcSemaf;

TFrmAcSemaf::TFrmAcSemaf(QWidget *parent) : TfrmFormaMaestro(parent)
{
    setObjectName(QStringLiteral("FrmAcSemaf"));
    setWindowTitle(QStringLiteral("GESTION ADMON. REC. HUMANOS - Análisis de Cargos -  Semaforo de Carrera"));
    resize(1024, 700);
    DCOMCnction->ServerGUID = QStringLiteral("{A871449E-8D08-481A-B0FC-00C38CA7F310}");
    DCOMCnction->ServerName = QStringLiteral("QAcSemaf.QAcSemafDmr");
}

void TFrmAcSemaf::FormCreate(QObject *Sender)
{
    if (DtmAcSemaf)
        DtmAcSemaf->ConnectTo(DCOMCnction, &CdsGnEmpre, &CdsTemporal);
    TfrmFormaMaestro::FormCreate(Sender);
}
