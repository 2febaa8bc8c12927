#pragma once
// Base of the suite's master forms: fills the session from the start parameters when the form is
// created, keeps the form sized to the host's area and runs the framework's close handling.

#include "SClientDataSet.h"

#include <QWidget>

class SDCOMConnection;

class TfrmFormaMaestro : public QWidget {
    Q_OBJECT
public:
    explicit TfrmFormaMaestro(QWidget *parent = nullptr);

    // Runs the creation handler once the object is fully built (called by TApplication).
    void AfterConstruction();

    // The host's layout changes: the form takes the given size, or only the given height.
    virtual void CambiarTamano(int width, int height);
    virtual void CambiarAltura(int height);

    // The connection to the application server that every remote dataset of the module uses.
    SDCOMConnection *DCOMCnction = nullptr;
    // General-purpose remote dataset: given any read statement with named parameters, then opened.
    SClientDataSet CdsTemporal{QStringLiteral("CdsTemporal")};
    // The companies the user may choose.
    SClientDataSet CdsGnEmpre{QStringLiteral("CdsGnEmpre")};

protected:
    // The framework's form creation: the session globals the entry points do not set.
    virtual void FormCreate(QObject *Sender);
    void closeEvent(QCloseEvent *event) override;
};
