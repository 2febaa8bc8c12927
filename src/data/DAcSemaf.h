#pragma once
// The module's data module: every dataset, data source and in-memory result table of the module,
// and the rules that run in their events. Statements and field definitions come from the
// catalogue (DataModuleCatalog); this class holds the objects and the behaviour.

#include "IFrmAcSemaf.h"
#include "SClientDataSet.h"
#include "TClientDataSet.h"
#include "TDataSource.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>

class SDCOMConnection;
class TField;

class TDtmAcSemaf : public QObject {
    Q_OBJECT
public:
    explicit TDtmAcSemaf(QObject *owner = nullptr);
    ~TDtmAcSemaf() override;

    // Runs the creation handler once the object is fully built.
    void AfterConstruction();

    // Points every remote dataset at the main form's connection, the company name look-up at the
    // main form's company list, and the rules at the main form's scratch dataset (all of them
    // belong to the main form, which is created after this module).
    void ConnectTo(SDCOMConnection *connection, TDataSet *companyList, SClientDataSet *scratch);

    SClientDataSet *remoteDataSet(const QString &name) const;
    TClientDataSet *clientDataSet(const QString &name) const;
    TDataSource *dataSource(const QString &name) const;
    QList<SClientDataSet *> remoteDataSets() const;

    // The main form whose controls the rules keep in step (set by the main form when created).
    IFrmAcSemaf *Forma = nullptr;
    // The master form's general-purpose remote dataset.
    SClientDataSet *CdsTemporal = nullptr;

    // ---- Career plans (plan nodes of QryAcPprom) ----
    QVariant gVrCodMenu;   // plan whose tree is drawn; null or 0 forces the next drawing
    void QryAcPpromNewRecord(TDataSet *DataSet);
    void QryAcPpromBeforeInsert(TDataSet *DataSet);
    // Node numbering: the main form's data-change notification hands every changed field on.
    void NumerarNodo(TField *Field);
    void QryAcPpromAfterEdit(TDataSet *DataSet);
    void QryAcPpromBeforePost(TDataSet *DataSet);
    void QryAcPpromBeforeDelete(TDataSet *DataSet);
    void QryAcPpromAfterDelete(TDataSet *DataSet);
    void QryAcPpromAfterCancel(TDataSet *DataSet);
    void QryAcPpromAfterOpen(TDataSet *DataSet);
    void QryAcPpromAfterScroll(TDataSet *DataSet);
    void QryAcPpromCalcFields(TDataSet *DataSet);
    void Buscar_Cargo(int cod_empr, const QString &Cod_carg);
    static bool BuscarEnLista(const QStringList &listaCadena, const QString &lstvalor);
    void AbrirQueryGrafico();

    // ---- Replacement rows (QryAcCuare) ----
    void QryAcCuareNewRecord(TDataSet *DataSet);
    void QryAcCuareCalcFields(TDataSet *DataSet);
    void QryAcCuareCOD_EMPLValidate(TField *Sender);
    void QryAcCuareCOD_CARGValidate(TField *Sender);
    void QryAcCuareBeforePost(TDataSet *DataSet);

    // ---- Positions and company groups ----
    bool gStGrupoEmpre = false;
    void ValidaGrupoEmpresarial();
    void InicializarlArQry();
    void QryBiCargoCalcFields(TDataSet *DataSet);
    void GeneralValidate(TField *Sender);
    void QryNmContrAfterScroll(TDataSet *DataSet);

    // ---- Log hook, feature flags, rounding ----
    void BanderaLog(const QString &pStLinea, bool pBoShowMsg);
    QVariant VerNexoFlags(const QString &pStCodVari);
    static long double RoundDecimals(long double pDoValue, quint8 pByNumDec);

    // ---- Profile matching and generation ----
    // Attaches the result tables' handlers, as the data module's definition does.
    void DefinirEventosMotor();
    bool MismoRequisito(TDataSet *perfil, TDataSet *empleado) const;
    void SumarPuntosEducacion(TDataSet *empleado, long double &puntos);
    void SumarPuntosExperiencia(TDataSet *empleado, long double &puntos);
    void SumarPuntosCompetencias(long double &puntos);
    static QStringList SepararLista(const QString &texto);
    void GenerarSemaforoCarrera();
    void GenerarSemaforo();
    void CdsAcSemafAfterScroll(TDataSet *DataSet);
    void CdsCargUsuarioCOD_CARGValidate(TField *Sender);

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
