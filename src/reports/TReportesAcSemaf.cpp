#include "TReportesAcSemaf.h"

#include "DAcSemaf.h"
#include "Exceptions.h"
#include "TField.h"
#include "Ugnnorma.h"

const QString TReportesAcSemaf::kSinSemaforo = QStringLiteral("Primero debe Generar el Sémaforo!!");

namespace {

const QString kLayoutEstan = QStringLiteral(":/reports/frxRptEstan.json");

// Sets gBoReporte for as long as a report runs, whatever way it ends.
class MarcaReporte {
public:
    explicit MarcaReporte(bool &bandera) : m_bandera(bandera) { m_bandera = true; }
    ~MarcaReporte() { m_bandera = false; }

private:
    bool &m_bandera;
};

} // namespace

TReportesAcSemaf::TReportesAcSemaf(TDtmAcSemaf &modulo) : m_modulo(modulo)
{
    QString error;
    if (!frxRptEstan.loadLayout(kLayoutEstan, &error))
        throw Exception(error);
    frxRptEstan.setDataSet(QStringLiteral("QryAcSemaf"), &m_modulo.CdsAcSemaf);    // frxDBDataset2
    frxRptEstan.setDataSet(QStringLiteral("QryGnEmpre"), &m_modulo.QryGnEmpre);    // frxDBDtsGnEmpre
    frxRptEstan.OnGetValue = [this](const QString &name, QVariant &value) { frxRptEstanGetValue(name, value); };
}

void TReportesAcSemaf::frxRptEstanGetValue(const QString &VarName, QVariant &Value)
{
    if (VarName == QLatin1String("gStNomProg")) {
        Value = gStNombProg;
    } else if (VarName == QLatin1String("gStCodUsua")) {
        Value = gStCodiUsua;
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
    salida(frxRptEstan);
}
