#pragma once
// The module's data module: every dataset, data source and in-memory result table of the module,
// and the rules that run in their events. Statements and field definitions come from the
// catalogue (DataModuleCatalog); this class holds the objects and the behaviour.

#include "SClientDataSet.h"
#include "TClientDataSet.h"
#include "TDataSource.h"

#include <QObject>
#include <QPointer>
#include <QVariant>

class SDCOMConnection;

class TDtmAcSemaf : public QObject {
    Q_OBJECT
public:
    explicit TDtmAcSemaf(QObject *owner = nullptr);
    ~TDtmAcSemaf() override;

    // Runs the creation handler once the object is fully built.
    void AfterConstruction();

    // Points every remote dataset at the main form's connection, and the company name look-up at
    // the main form's company list (both belong to the main form, created after this module).
    void ConnectTo(SDCOMConnection *connection, TDataSet *companyList);

    SClientDataSet *remoteDataSet(const QString &name) const;
    TClientDataSet *clientDataSet(const QString &name) const;
    TDataSource *dataSource(const QString &name) const;
    QList<SClientDataSet *> remoteDataSets() const;

    // Remote datasets.
    SClientDataSet QryAcPprom{QStringLiteral("QryAcPprom")};
    SClientDataSet QryBiCargo{QStringLiteral("QryBiCargo")};
    SClientDataSet QryGrafico{QStringLiteral("QryGrafico")};
    SClientDataSet QrySecuencial{QStringLiteral("QrySecuencial")};
    SClientDataSet QryAcCuare{QStringLiteral("QryAcCuare")};
    SClientDataSet QryEmpleado{QStringLiteral("QryEmpleado")};
    SClientDataSet QryCargo{QStringLiteral("QryCargo")};
    SClientDataSet QryAcNivel{QStringLiteral("QryAcNivel")};
    SClientDataSet QryNmContr{QStringLiteral("QryNmContr")};
    SClientDataSet QryBiDtpca{QStringLiteral("QryBiDtpca")};
    SClientDataSet QryBiDtpef{QStringLiteral("QryBiDtpef")};
    SClientDataSet QryBiDtpnf{QStringLiteral("QryBiDtpnf")};
    SClientDataSet QryBidtphv{QStringLiteral("QryBidtphv")};
    SClientDataSet QryEd3licc{QStringLiteral("QryEd3licc")};
    SClientDataSet QryEd3dlcc{QStringLiteral("QryEd3dlcc")};
    SClientDataSet QryTmEmple{QStringLiteral("QryTmEmple")};
    SClientDataSet QryGnEmpre{QStringLiteral("QryGnEmpre")};
    SClientDataSet QryNmConCa{QStringLiteral("QryNmConCa")};
    SClientDataSet QryEmpCarg{QStringLiteral("QryEmpCarg")};
    SClientDataSet QryValNodo{QStringLiteral("QryValNodo")};
    SClientDataSet QryGnNexof{QStringLiteral("QryGnNexof")};

    // In-memory results.
    TClientDataSet CdsAcSemaf{QStringLiteral("CdsAcSemaf")};
    TClientDataSet CdsDtpcaRep{QStringLiteral("CdsDtpcaRep")};
    TClientDataSet CdsCargUsuario{QStringLiteral("CdsCargUsuario")};

    // Data sources.
    TDataSource DtsAcPprom;
    TDataSource DtsAcCuare;
    TDataSource DtsNmContr;
    TDataSource DtsAcSemaf;
    TDataSource DtsCargUsuario;

protected:
    void DataModuleCreate(QObject *Sender);
};

extern QPointer<TDtmAcSemaf> DtmAcSemaf;
