#pragma once
// One workstation without windows: the connection of the session, the master form's company
// list and scratch dataset, and the data module connected to them, as the main form would leave
// it, all working in the session it is given. The command line and the tests work through it.

#include "data/DAcSemaf.h"
#include "framework/connection/SDCOMConnection.h"

class HeadlessWorkstation {
public:
    explicit HeadlessWorkstation(const Session &session, IFrmAcSemaf *form = nullptr)
    {
        setSession(session);
        companies.RemoteServer = &connection;
        companies.ProviderName = QStringLiteral("DtsPGnEmpreFrm");
        scratch.RemoteServer = &connection;
        scratch.ProviderName = QStringLiteral("DtsPTemporal");
        module.AfterConstruction();
        module.Forma = form;
        module.ConnectTo(&connection, &companies, &scratch);
    }

    // The workstation goes on in `session` (another company, as the main form's company change).
    void setSession(const Session &session)
    {
        connection.setSession(session);
        module.setSession(session);
    }

    SDCOMConnection connection;
    SClientDataSet companies{QStringLiteral("CdsGnEmpre")};
    SClientDataSet scratch{QStringLiteral("CdsTemporal")};
    TDtmAcSemaf module;
};
