#include "DAcSemaf.h"

#include "DataModuleCatalog.h"

QPointer<TDtmAcSemaf> DtmAcSemaf;

TDtmAcSemaf::TDtmAcSemaf(QObject *owner) : QObject(owner)
{
    setObjectName(QStringLiteral("DtmAcSemaf"));
    DtsAcPprom.Name = QStringLiteral("DtsAcPprom");
    DtsAcCuare.Name = QStringLiteral("DtsAcCuare");
    DtsNmContr.Name = QStringLiteral("DtsNmContr");
    DtsAcSemaf.Name = QStringLiteral("DtsAcSemaf");
    DtsCargUsuario.Name = QStringLiteral("DtsCargUsuario");
    DataModuleCatalog::instance().applyTo(*this);
    DefinirEventosMotor();
}

// Members go in reverse order: the data sources before the datasets they watch.
TDtmAcSemaf::~TDtmAcSemaf() = default;

void TDtmAcSemaf::AfterConstruction()
{
    DataModuleCreate(this);
}

void TDtmAcSemaf::ConnectTo(SDCOMConnection *connection, TDataSet *companyList, SClientDataSet *scratch)
{
    CdsTemporal = scratch;
    for (SClientDataSet *dataSet : remoteDataSets())
        dataSet->RemoteServer = connection;
    QryAcPprom.FieldByName(QStringLiteral("DtfNmbEmpresa"))->LookupDataSet = companyList;
}

QList<SClientDataSet *> TDtmAcSemaf::remoteDataSets() const
{
    auto *self = const_cast<TDtmAcSemaf *>(this);
    return {&self->QryAcPprom, &self->QryBiCargo, &self->QryGrafico, &self->QrySecuencial,
            &self->QryAcCuare, &self->QryEmpleado, &self->QryCargo, &self->QryAcNivel,
            &self->QryNmContr, &self->QryBiDtpca, &self->QryBiDtpef, &self->QryBiDtpnf,
            &self->QryBidtphv, &self->QryEd3licc, &self->QryEd3dlcc, &self->QryTmEmple,
            &self->QryGnEmpre, &self->QryNmConCa, &self->QryEmpCarg, &self->QryValNodo,
            &self->QryGnNexof};
}

SClientDataSet *TDtmAcSemaf::remoteDataSet(const QString &name) const
{
    for (SClientDataSet *dataSet : remoteDataSets())
        if (dataSet->Name == name)
            return dataSet;
    return nullptr;
}

TClientDataSet *TDtmAcSemaf::clientDataSet(const QString &name) const
{
    auto *self = const_cast<TDtmAcSemaf *>(this);
    for (TClientDataSet *dataSet : {&self->CdsAcSemaf, &self->CdsDtpcaRep, &self->CdsCargUsuario})
        if (dataSet->Name == name)
            return dataSet;
    return nullptr;
}

TDataSource *TDtmAcSemaf::dataSource(const QString &name) const
{
    auto *self = const_cast<TDtmAcSemaf *>(this);
    for (TDataSource *source : {&self->DtsAcPprom, &self->DtsAcCuare, &self->DtsNmContr,
                                &self->DtsAcSemaf, &self->DtsCargUsuario})
        if (source->Name == name)
            return source;
    return nullptr;
}

void TDtmAcSemaf::DataModuleCreate(QObject *)
{
    // The positions of the selected employee start empty, from their declared fields.
    if (CdsCargUsuario.Active())
        CdsCargUsuario.Close();
    CdsCargUsuario.FieldDefs().Clear();
    CdsCargUsuario.CreateDataSet();
}
