#include "UAcSemaf.h"

QPointer<TFrmAcSemaf> FrmAcSemaf;

TFrmAcSemaf::TFrmAcSemaf(QWidget *parent) : TfrmFormaMaestro(parent)
{
    setObjectName(QStringLiteral("FrmAcSemaf"));
    setWindowTitle(QStringLiteral("GESTION ADMON. REC. HUMANOS - Análisis de Cargos -  Semaforo de Carrera"));
    resize(1024, 700);
}

void TFrmAcSemaf::FormCreate(QObject *Sender)
{
    TfrmFormaMaestro::FormCreate(Sender);
}
