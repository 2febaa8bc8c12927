#pragma once
// One workstation without windows: the connection of the session, the master form's company
// list and scratch dataset, and the data module connected to them, as the main form would leave
// it. The command line and the tests work through it.

#include "data/DAcSemaf.h"
#include "framework/connection/SDCOMConnection.h"

class HeadlessWorkstation {
public:
    explicit HeadlessWorkstation(IFrmAcSemaf *form = nullptr)
    {
        companies.RemoteServer = &connection;
        companies.ProviderName = QStringLiteral("DtsPGnEmpreFrm");
        scratch.RemoteServer = &connection;
        scratch.ProviderName = QStringLiteral("DtsPTemporal");
        module.AfterConstruction();
        module.Forma = form;
        module.ConnectTo(&connection, &companies, &scratch);
    }

    SDCOMConnection connection;
    SClientDataSet companies{QStringLiteral("CdsGnEmpre")};
    SClientDataSet scratch{QStringLiteral("CdsTemporal")};
    TDtmAcSemaf module;
};
