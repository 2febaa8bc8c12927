#pragma once
// The module's data module: every dataset, data source and in-memory result table of the module,
// and the rules that run in their events. Statements and field definitions come from the
// catalogue (DataModuleCatalog); this class holds the objects and the behaviour.

#include "data/IFrmAcSemaf.h"
#include "engine/GenerationDataSets.h"
#include "engine/GenerationInputs.h"
#include "engine/ResultSchema.h"
#include "framework/Session.h"
#include "framework/dataset/SClientDataSet.h"
#include "framework/dataset/TClientDataSet.h"
#include "framework/dataset/TDataSource.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariant>

#include <functional>

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

    // The session the rules work in: its company is the one they read and write, its user the
    // one who stamps the rows. Whoever creates the module hands it; the main form hands it on
    // when the user chooses another company.
    void setSession(const Session &session);
    const Session &session() const { return m_session; }
    // The session's user code: what the reports print as the user and the rules stamp on the
    // rows they write.
    QString CodiUsua() const;
    // The module's program name, as the status panel and the reports show it.
    static const QString kProgramName;

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
    // The refusals of a plan node saved without a position chosen in the list, and of a
    // replacement row saved without an employee.
    static QString sinCargoElegidoMessage();
    static QString sinEmpleadoMessage();
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

    // ---- Reports ----
    bool gBoReporte = false;   // a list report is being produced: plan moves leave the tree alone

    // ---- Competence report (DAcSemafCompetencias) ----
    // Fills CdsDtpcaRep with the requirement profile of the selected node's position, in the
    // ticked categories, against the employee under the result cursor, then hands over to
    // MostrarRptAcSemaf. Refusals and failed queries raise Exception.
    void ReporteCompetencias();
    // Shows RptAcSemaf once the detail table is filled; set by whoever owns the report (the data
    // module only computes its rows).
    std::function<void()> MostrarRptAcSemaf;
    // The companies of EmpCaActual, each once, in the order of their first appearance.
    QStringList EmpresasCompetencias() const;
    // A looked-up name as the report prints it: no-break spaces made blanks, trimmed, the first
    // letter upper case and the rest lower case (only A-Z and a-z change).
    static QString LimpiarNombre(const QString &nombre);
    // Blanks and control characters off both ends, as the suite trims texts.
    static QString Recortar(const QString &texto);

    // ---- Log hook, feature flags, rounding ----
    void BanderaLog(const QString &pStLinea, bool pBoShowMsg);
    QVariant VerNexoFlags(const QString &pStCodVari);
    static long double RoundDecimals(long double pDoValue, quint8 pByNumDec);

    // ---- Profile matching and generation ----
    // Attaches the result tables' handlers, as the data module's definition does.
    void DefinirEventosMotor();
    // What a generation run reads through and fills.
    engine::GenerationDataSets DatosGeneracion();
    // The suite's number formatter (TDtmGnLibre.FormatearFloat), as the engine rounds the
    // percentages it stores.
    static engine::MaskFormatter FormateadorSuite();
    // The generation's inputs from the main form's lists and boxes (none without a form).
    static engine::GenerationInputs generationInputs(const IFrmAcSemaf *form);
    // What a change to `company` reads (group flag, positions, contracts, report header, feature
    // flag, plan rows, the positions and levels the rows show), read ahead in one round trip.
    void readAheadCompany(int company);
    // What a move to the plan's current row reads (replacements, holders, the plan's tree), read
    // ahead in one round trip.
    void readAheadPlanRow(TDataSet *plan);
    // What a generation from the form's lists reads first (with `own`, what the caller reads
    // before it), read ahead in one round trip.
    void readAheadGeneration(const QList<protocol::FetchRequest> &own);
    // The items of a list of quoted codes joined by commas, as the main form joins them.
    static QStringList SepararLista(const QString &texto);
    // The whole run on the result table: emptied, then filled by GenerarSemaforo.
    void GenerarSemaforoCarrera();
    // The same run on inputs given as values (the command line's way in); the window's run
    // converts its fields and boxes into them once the result table is emptied.
    void GenerarSemaforoCarrera(const engine::GenerationInputs &inputs);
    // Appends the rows of a run on the main form's inputs to the result table.
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

    // ---- Private state of the plan, position and flag rules (DAcSemafPlan/Cargos/Servicios) ----
private:
    // Level, level name, required score and position name of the plan nodes, read once per open
    // of the plan instead of once per row: the current company's positions and levels, and the
    // position names of every company a node's position belongs to (loaded on first need).
    struct PosicionesPlan {
        struct Cargo {
            QVariant codNive;
            QVariant punRequ;
        };
        int empresa = -1;                                  // company the levels belong to; -1: not loaded
        QHash<QString, Cargo> cargos;                      // COD_CARG -> level and required score
        QHash<QString, QVariant> niveles;                  // COD_NIVE -> NOM_NIVE
        QHash<int, QHash<QString, QString>> nombres;       // COD_EMPR -> COD_CARG -> NOM_CARG
        void clear() { empresa = -1; cargos.clear(); niveles.clear(); nombres.clear(); }
    };
    // Watches the plan dataset's open state so that the positions are read again on every open.
    class VigiaPlan : public TDataLink {
    public:
        VigiaPlan(TDtmAcSemaf *owner, TDataSet *plan);
        ~VigiaPlan() override;
        void dataEvent(TDataEvent event, TField *field) override;
        void dataSetDestroyed() override { m_plan = nullptr; }
    private:
        TDtmAcSemaf *m_owner;
        TDataSet *m_plan;
        bool m_activo = false;
    };
    // One entry of the validation table of a plan node's columns.
    struct ReglaValidacion {
        const char *campo;
        const char *titulo;
        const char *tipo;      // "L" look-up, or a carriage return for none
        const char *slot;      // look-up slot as decimal text, or a carriage return
    };
    struct SlotConsulta {
        SClientDataSet *dataSet = nullptr;
        TField *campoParametro = nullptr;
    };
    static const ReglaValidacion kReglasValidacion[8];

    void cargarPosicionesPlan();
    const QHash<QString, QString> &nombresCargos(int empresa);
    void calcularCamposPlan(TDataSet *DataSet);
    void mostrarCargoPlan();
    bool esFilaActualPlan(TDataSet *DataSet) const;
    void limpiarEncabezado(TDataSet *DataSet);
    void verificarNodoLibre(TDataSet *DataSet);
    void verificarSinCiclo(TDataSet *DataSet);
    void reiniciarForma();
    void ponerNombreEmpleado(TDataSet *empleados, TDataSet *DataSet);
    int currentCompany() const { return m_session.company; }
    int companyCountry() const;

    SClientDataSet m_consultaPlan{QStringLiteral("ConsultaPlan")}; // reads of the rules above
    PosicionesPlan m_posiciones;
    VigiaPlan m_vigiaPlan{this, &QryAcPprom};
    SlotConsulta m_slots[1];
    QVariantList m_claveEdicion;        // key of the plan row when its edit began
    TDataSet *m_listaEmpresas = nullptr; // the master form's company list
    SDCOMConnection *m_conexion = nullptr;
    Session m_session;
};

extern QPointer<TDtmAcSemaf> DtmAcSemaf;
