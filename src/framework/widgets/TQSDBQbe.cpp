#include "framework/widgets/TQSDBQbe.h"

#include "framework/widgets/DialogService.h"
#include "framework/widgets/ErrorGuard.h"
#include "framework/Exceptions.h"
#include "framework/widgets/QbeCriteriaDialog.h"
#include "framework/dataset/SClientDataSet.h"
#include "framework/ConditionText.h"

#include <QRegularExpression>

namespace {

const char *filterOperator(QbeOperator op)
{
    switch (op) {
    case QbeOperator::Igual: return " = ";
    case QbeOperator::Distinto: return " <> ";
    case QbeOperator::Menor: return " < ";
    case QbeOperator::MenorIgual: return " <= ";
    case QbeOperator::Mayor: return " > ";
    case QbeOperator::MayorIgual: return " >= ";
    default: return nullptr;
    }
}

} // namespace

TQSDBQbe::TQSDBQbe(QWidget *parent) : QPushButton(parent)
{
    setText(QStringLiteral("Query"));
    setToolTip(QStringLiteral("Query By Example"));
    connect(this, &QPushButton::clicked, this, [this] { ErrorGuard::run([this] { abrirCriterios(); }); });
}

TQSDBQbe::~TQSDBQbe() = default;

void TQSDBQbe::SetDataset(SClientDataSet *dataset)
{
    m_dataset = dataset;
}

SClientDataSet &TQSDBQbe::dataset() const
{
    if (!m_dataset)
        throw Exception(QStringLiteral("%1: no tiene un conjunto de datos asociado").arg(objectName()));
    return *m_dataset;
}

void TQSDBQbe::Inicializar(bool abrir)
{
    SClientDataSet &data = dataset();
    m_statementBase = data.StatementName();
    m_slotsBase = data.SlotValues();
    m_sqlBase = data.CommandText();
    m_criterios.clear();
    if (abrir)
        Kquery(QString());
}

void TQSDBQbe::Kquery(const QString &condicion)
{
    // A condition that cannot be read leaves the rows shown as they were.
    Kquery(ConditionText::parse(condicion));
}

void TQSDBQbe::Kquery(const QList<protocol::Condition> &condiciones)
{
    SClientDataSet &data = dataset();
    data.Close();
    data.setFiltered(false);
    ponerBase(condiciones);
    data.Open();
}

// The dataset's statement becomes the base query again, with these conditions.
void TQSDBQbe::ponerBase(const QList<protocol::Condition> &condiciones)
{
    SClientDataSet &data = dataset();
    if (data.StatementName() != m_statementBase || data.SlotValues() != m_slotsBase)
        data.setStatement(m_statementBase, m_sqlBase, m_slotsBase);
    data.setConditions(condiciones);
}

void TQSDBQbe::abrirCriterios()
{
    SClientDataSet &data = dataset();
    QList<QPair<QString, QString>> campos;
    for (const TField *field : data.Fields())
        if (field->FieldKind() == fkData && !ExcluirCampos.contains(field->FieldName(), Qt::CaseInsensitive))
            campos.append({field->FieldName(), field->DisplayName()});
    QbeCriteriaDialog dialog(campos, window());
    dialog.setObjectName(QStringLiteral("QbeCriteriaDialog"));
    dialog.setCriteria(m_criterios);
    dialog.check = [this](const QList<QbeCriterion> &criterios) { aplicar(criterios); };
    DialogService::instance().execModal(&dialog);
}

// Runs inside the dialog's accept: a refusal keeps the dialog open with the user's rows.
void TQSDBQbe::aplicar(const QList<QbeCriterion> &criterios)
{
    SClientDataSet &data = dataset();
    const QString filtro = textoFiltro(criterios);
    if (!filtro.isEmpty()) {
        data.setFilter(filtro);
        data.setFiltered(true);
            m_criterios = criterios;
        return;
    }
    QList<QbeColumn> columnas;
    for (const TField *field : data.Fields())
        columnas.append({field->FieldName(), field->DataType()});
    QbeConditionBuilder builder(columnas);
    builder.dateFormat = FormatoFecha;
    builder.upperCase = SQLUpperCase;
    const QList<protocol::Condition> condiciones = builder.conditions(criterios);
    if (Refrescar) {
        Kquery(condiciones);
    } else {
        data.Close();
        ponerBase(condiciones);
    }
    m_criterios = criterios;
}

// The client filter serves only plain comparisons of numbers and of texts compared as typed,
// on rows already read; anything else goes to the server.
QString TQSDBQbe::textoFiltro(const QList<QbeCriterion> &criterios) const
{
    if (!PermiteFiltro || !m_dataset->Active() || criterios.isEmpty())
        return {};
    QStringList partes;
    for (const QbeCriterion &c : criterios) {
        const TField *field = m_dataset->FindField(c.field);
        const char *op = filterOperator(c.op);
        if (!field || !op)
            return {};
        const bool texto = QbeConditionBuilder::isTextType(field->DataType());
        if (texto && SQLUpperCase)
            return {};
        QString valor = c.value;
        if (texto) {
            valor = QLatin1Char('\'') + valor.replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
        } else if (field->DataType() == protocol::FieldType::DateTime) {
            return {};
        } else {
            static const QRegularExpression numero(QStringLiteral("^-?\\d+(\\.\\d+)?$"));
            valor = valor.trimmed();
            if (!numero.match(valor).hasMatch())
                return {};  // the server path names the bad value
        }
        partes << field->FieldName() + QLatin1String(op) + valor;
    }
    return partes.join(QStringLiteral(" and "));
}
