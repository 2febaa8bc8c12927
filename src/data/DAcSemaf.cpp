#include "data/DAcSemaf.h"

#include "data/DataModuleCatalog.h"

QPointer<TDtmAcSemaf> DtmAcSemaf;

const QString TDtmAcSemaf::kProgramName = QStringLiteral("QAcSemaf");

TDtmAcSemaf::TDtmAcSemaf(QObject *owner) : QObject(owner)
{
    setObjectName(QStringLiteral("DtmAcSemaf"));
    DtsAcPprom.Name = QStringLiteral("DtsAcPprom");
    DtsAcCuare.Name = QStringLiteral("DtsAcCuare");
    DtsNmContr.Name = QStringLiteral("DtsNmContr");
    DtsAcSemaf.Name = QStringLiteral("DtsAcSemaf");
    DtsCargUsuario.Name = QStringLiteral("DtsCargUsuario");
    DataModuleCatalog::instance().applyTo(*this);
    m_consultaPlan.ProviderName = QStringLiteral("DtsPTemporal");

    // Handlers as the data module's definition attaches them; the plan's after-scroll handler
    // follows when the module is created.
    auto evento = [this](void (TDtmAcSemaf::*handler)(TDataSet *)) {
        return [this, handler](TDataSet *dataSet) { (this->*handler)(dataSet); };
    };
    auto validacion = [this](void (TDtmAcSemaf::*handler)(TField *)) {
        return [this, handler](TField *field) { (this->*handler)(field); };
    };
    QryAcPprom.AfterOpen = evento(&TDtmAcSemaf::QryAcPpromAfterOpen);
    QryAcPprom.BeforeInsert = evento(&TDtmAcSemaf::QryAcPpromBeforeInsert);
    QryAcPprom.AfterEdit = evento(&TDtmAcSemaf::QryAcPpromAfterEdit);
    QryAcPprom.BeforePost = evento(&TDtmAcSemaf::QryAcPpromBeforePost);
    QryAcPprom.AfterCancel = evento(&TDtmAcSemaf::QryAcPpromAfterCancel);
    QryAcPprom.BeforeDelete = evento(&TDtmAcSemaf::QryAcPpromBeforeDelete);
    QryAcPprom.AfterDelete = evento(&TDtmAcSemaf::QryAcPpromAfterDelete);
    QryAcPprom.OnCalcFields = evento(&TDtmAcSemaf::QryAcPpromCalcFields);
    QryAcPprom.OnNewRecord = evento(&TDtmAcSemaf::QryAcPpromNewRecord);
    QryAcPprom.FieldByName(QStringLiteral("COD_CARG"))->OnValidate = validacion(&TDtmAcSemaf::GeneralValidate);
    QryBiCargo.OnCalcFields = evento(&TDtmAcSemaf::QryBiCargoCalcFields);
    QryAcCuare.BeforePost = evento(&TDtmAcSemaf::QryAcCuareBeforePost);
    QryAcCuare.OnCalcFields = evento(&TDtmAcSemaf::QryAcCuareCalcFields);
    QryAcCuare.OnNewRecord = evento(&TDtmAcSemaf::QryAcCuareNewRecord);
    QryAcCuare.FieldByName(QStringLiteral("COD_EMPL"))->OnValidate =
        validacion(&TDtmAcSemaf::QryAcCuareCOD_EMPLValidate);
    QryAcCuare.FieldByName(QStringLiteral("COD_CARG"))->OnValidate =
        validacion(&TDtmAcSemaf::QryAcCuareCOD_CARGValidate);
    QryNmContr.AfterScroll = evento(&TDtmAcSemaf::QryNmContrAfterScroll);
    QryEmpCarg.OnCalcFields = evento(&TDtmAcSemaf::QryBiCargoCalcFields);
    QryValNodo.OnNewRecord = evento(&TDtmAcSemaf::QryAcPpromNewRecord);

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
    m_listaEmpresas = companyList;
    m_conexion = connection;
    for (SClientDataSet *dataSet : remoteDataSets())
        dataSet->RemoteServer = connection;
    m_consultaPlan.RemoteServer = connection;
    m_posiciones.clear();
    QryAcPprom.FieldByName(QStringLiteral("DtfNmbEmpresa"))->LookupDataSet = companyList;
}

void TDtmAcSemaf::setSession(const Session &session)
{
    m_session = session;
}

QString TDtmAcSemaf::CodiUsua() const
{
    return m_session.user;
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
