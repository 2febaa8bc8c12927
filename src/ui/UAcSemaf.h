#pragma once
// The module's main form: career plans, the career tree and the traffic-light grids.

#include "TfrmFormaMaestro.h"

#include <QPointer>

class TFrmAcSemaf : public TfrmFormaMaestro {
    Q_OBJECT
public:
    explicit TFrmAcSemaf(QWidget *parent = nullptr);

protected:
    void FormCreate(QObject *Sender) override;
};

extern QPointer<TFrmAcSemaf> FrmAcSemaf;
