#include "reports/TReportesAcSemaf.h"

#include "data/DAcSemaf.h"
#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"
#include "engine/GenerationInputs.h"
#include "engine/ResultSchema.h"
#include "framework/dataset/TField.h"
#include "reports/ReportKinds.h"

const QString TReportesAcSemaf::kSinSemaforo = QStringLiteral("Primero debe Generar el Sémaforo!!");

namespace {

void cargar(report::Report &reporte, const QString &ruta)
{
    QString error;
    if (!reporte.loadLayout(ruta, &error))
        throw Exception(error);
}

// Sets gBoReporte for as long as a report runs, whatever way it ends.
class MarcaReporte {
public:
    explicit MarcaReporte(bool &bandera) : m_bandera(bandera) { m_bandera = true; }
    ~MarcaReporte() { m_bandera = false; }

private:
    bool &m_bandera;
};

QString textoDe(const QVariant &valor) { return valor.toString().trimmed(); }

} // namespace

TReportesAcSemaf::TReportesAcSemaf(TDtmAcSemaf &modulo) : m_modulo(modulo)
{
    cargar(frxRptEstan, reportKindNamed(QStringLiteral("list")).layout);
    const QString &resultado = engine::trafficLightTable().reportName;
    frxRptEstan.setDataSet(resultado, &m_modulo.CdsAcSemaf);    // frxDBDataset2
    frxRptEstan.setDataSet(QStringLiteral("QryGnEmpre"), &m_modulo.QryGnEmpre);    // frxDBDtsGnEmpre
    frxRptEstan.OnGetValue = [this](const QString &name, QVariant &value) { frxRptEstanGetValue(name, value); };

    cargar(RptAcSemaf, reportKindNamed(QStringLiteral("competence")).layout);
    RptAcSemaf.setDataSet(resultado, &m_modulo.CdsAcSemaf);
    RptAcSemaf.setDataSet(QStringLiteral("QryGnEmpre"), &m_modulo.QryGnEmpre);
    RptAcSemaf.setDataSet(QStringLiteral("TblDtpcaRep"), &m_modulo.CdsDtpcaRep);    // frxDBDataset1
    RptAcSemaf.OnGetValue = [this](const QString &name, QVariant &value) { RptAcSemafGetValue(name, value); };
}

void TReportesAcSemaf::frxRptEstanGetValue(const QString &VarName, QVariant &Value)
{
    if (VarName == QLatin1String("gStNomProg")) {
        Value = TDtmAcSemaf::kProgramName;
    } else if (VarName == QLatin1String("gStCodUsua")) {
        Value = m_modulo.CodiUsua();
    } else if (VarName == QLatin1String("gStCargo")) {
        TDataSet &plan = m_modulo.QryAcPprom;
        if (plan.Active() && !plan.IsEmpty())
            Value = plan.FieldByName(QStringLiteral("DtfNmbCargo"))->AsString();
        else
            Value = CargoSinPlan;
    }
}

void TReportesAcSemaf::ProducirListado(const std::function<void(report::Report &)> &salida)
{
    MarcaReporte marca(m_modulo.gBoReporte);
    // Before the first generation the result table is not even open.
    if (!m_modulo.CdsAcSemaf.Active() || m_modulo.CdsAcSemaf.IsEmpty())
        throw Exception(kSinSemaforo);
    QVariant cargo;
    frxRptEstanGetValue(QStringLiteral("gStCargo"), cargo);
    frxRptEstan.Info = datosDocumento(reportKindNamed(QStringLiteral("list")).caption, textoDe(cargo));
    salida(frxRptEstan);
}

report::DocumentInfo TReportesAcSemaf::datosDocumento(const QString &titulo, const QString &detalle) const
{
    report::DocumentInfo info;
    info.title = detalle.isEmpty() ? titulo : titulo + QStringLiteral(" - ") + detalle;
    info.author = m_modulo.CodiUsua();
    TDataSet &empresa = m_modulo.QryGnEmpre;
    if (empresa.Active() && !empresa.IsEmpty())
        info.subject = empresa.FieldByName(QStringLiteral("NOM_EMPR"))->AsString().trimmed();
    return info;
}

void TReportesAcSemaf::RptAcSemafGetValue(const QString &VarName, QVariant &Value)
{
    const QStringList empresas = m_modulo.EmpresasCompetencias();
    if (VarName == QLatin1String("gStCargoActual")) {
        const QVariant nombre = cargoActualEmpleado(empresas);
        if (nombre.isValid())
            Value = nombre;
    } else if (VarName == QLatin1String("gStCargo")) {
        const IFrmAcSemaf *forma = m_modulo.Forma;
        if (forma && m_modulo.QryBiCargo.Locate(QStringLiteral("cod_empr;cod_carg"),
                                               QVariantList{forma->EmpreAspira, forma->CargoAspira}))
            Value = m_modulo.QryBiCargo.FieldByName(QStringLiteral("nom_carg"))->AsString().trimmed();
    } else if (VarName == QLatin1String("gStNomProg") || VarName == QLatin1String("gStCodUsua")) {
        frxRptEstanGetValue(VarName, Value);
    }
}

// The first listed company where the employee has an active contract whose position is among
// the active positions; invalid when there is none.
QVariant TReportesAcSemaf::cargoActualEmpleado(const QStringList &empresas)
{
    SClientDataSet &contratos = m_modulo.QryNmConCa;
    const QVariant empleado = m_modulo.CdsAcSemaf.FieldByName(QStringLiteral("COD_EMPL"))->AsVariant();
    for (const QString &empresa : empresas) {
        contratos.Close();
        contratos.ParamByName(QStringLiteral("COD_EMPR"))->setAsSmallInt(engine::companyNumber(empresa));
        contratos.ParamByName(QStringLiteral("COD_EMPL"))->setAsFloat(fieldconv::toFloat(empleado, QStringLiteral("COD_EMPL")));
        contratos.Open();
        const QVariant cargo = contratos.IsEmpty() ? QVariant() : contratos.FieldByName(QStringLiteral("COD_CARG"))->AsVariant();
        const QVariant codigoEmpresa = contratos.ParamByName(QStringLiteral("COD_EMPR"))->AsVariant();
        if (m_modulo.QryBiCargo.Locate(QStringLiteral("cod_empr;cod_carg"), QVariantList{codigoEmpresa, cargo}))
            return m_modulo.QryBiCargo.FieldByName(QStringLiteral("nom_carg"))->AsString().trimmed();
    }
    return QVariant();
}

void TReportesAcSemaf::ReporteCompetencias(const std::function<void(report::Report &)> &salida)
{
    m_modulo.MostrarRptAcSemaf = [&] {
        QVariant cargo;
        if (m_modulo.QryBiCargo.Active())
            RptAcSemafGetValue(QStringLiteral("gStCargo"), cargo);
        TDataSet &resultado = m_modulo.CdsAcSemaf;
        const QString empleado = (resultado.FieldByName(QStringLiteral("NOM_EMPL"))->AsString().trimmed() + QLatin1Char(' ')
                                  + resultado.FieldByName(QStringLiteral("APE_EMPL"))->AsString().trimmed()).trimmed();
        QStringList detalle{empleado, textoDe(cargo)};
        detalle.removeAll(QString());
        RptAcSemaf.Info = datosDocumento(reportKindNamed(QStringLiteral("competence")).caption,
                                         detalle.join(QStringLiteral(" - ")));
        salida(RptAcSemaf);
    };
    try {
        m_modulo.ReporteCompetencias();
    } catch (...) {
        m_modulo.MostrarRptAcSemaf = nullptr;
        throw;
    }
    m_modulo.MostrarRptAcSemaf = nullptr;
}
