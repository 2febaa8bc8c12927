#include "framework/widgets/TQSDBQbe.h"

#include "framework/widgets/DialogService.h"
#include "framework/widgets/ErrorGuard.h"
#include "framework/Exceptions.h"
#include "framework/widgets/QbeCriteriaDialog.h"
#include "framework/dataset/SClientDataSet.h"
#include "framework/StatementCondition.h"

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
    if (dataset != m_dataset)
        m_baseRead = false;
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
    // The statement that Kquery or the criteria set last is the base query with a condition,
    // not a new base from the form.
    const bool deKquery = m_baseRead && data.CommandText() == m_sqlSet;
    if (ActualizarSQLBase || !deKquery) {
        m_sqlBase = data.CommandText();
        m_baseRead = true;
    }
    m_criterios.clear();
    m_lastCondition.clear();
    if (abrir)
        Kquery(QString());
}

void TQSDBQbe::Kquery(const QString &condicion)
{
    SClientDataSet &data = dataset();
    // A condition that cannot be placed leaves the rows shown as they were.
    const QString sql = StatementCondition::place(m_sqlBase, condicion);
    data.Close();
    data.setFiltered(false);
    m_sqlSet = sql;
    data.setCommandText(sql);
    data.Open();
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
        m_lastCondition = filtro;
        m_criterios = criterios;
        return;
    }
    QList<QbeColumn> columnas;
    for (const TField *field : data.Fields())
        columnas.append({field->FieldName(), field->DataType()});
    QbeConditionBuilder builder(columnas, m_sqlBase);
    builder.dateFormat = FormatoFecha;
    builder.upperCase = SQLUpperCase;
    const QString condicion = criterios.isEmpty()
                                  ? QString()
                                  : (Tag == 1 ? QStringLiteral(" AND ") : QStringLiteral(" WHERE "))
                                        + builder.condition(criterios);
    if (Refrescar) {
        Kquery(condicion);
    } else {
        m_sqlSet = StatementCondition::place(m_sqlBase, condicion);
        data.Close();
        data.setCommandText(m_sqlSet);
    }
    m_lastCondition = condicion;
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
