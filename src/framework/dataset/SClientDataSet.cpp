#include "framework/dataset/SClientDataSet.h"

#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"
#include "framework/connection/SDCOMConnection.h"
#include "protocol/NamedParams.h"

using protocol::RowDelta;

SClientDataSet::SClientDataSet(const QString &name) : TClientDataSet(name) {}

void SClientDataSet::setStatement(const QString &name, const QString &text, const QVariantMap &slotValues)
{
    setSQL(text.split(QLatin1Char('\n')));
    m_statement = name;
    m_slots = slotValues;
}

void SClientDataSet::setSQL(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    m_params.updateFromNames(protocol::NamedParams(text).distinctNames());
    m_sql = lines;
    m_commandText = text;
    forgetStatement();
}

void SClientDataSet::setCommandText(const QString &text)
{
    m_params.updateFromNames(protocol::NamedParams(text).distinctNames());
    m_commandText = text;
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the break after the last line does not start another one
    m_sql = lines;
    forgetStatement();
}

void SClientDataSet::forgetStatement()
{
    m_statement.clear();
    m_slots.clear();
    m_conditions.clear();
}

SDCOMConnection &SClientDataSet::connection() const
{
    if (!RemoteServer)
        throw EDatabaseError(QStringLiteral("%1: no tiene conexión con el servidor de aplicaciones")
                                 .arg(displayName()));
    return *RemoteServer;
}

QList<protocol::ParamValue> SClientDataSet::paramValues() const
{
    QList<protocol::ParamValue> values;
    for (int i = 0; i < m_params.Count(); ++i) {
        const TParam *param = m_params.Items(i);
        const auto type = param->DataType != protocol::FieldType::Unknown
                              ? param->DataType
                              : fieldconv::typeOf(param->Value);
        values.append({param->Name, type, param->Value});
    }
    return values;
}

protocol::FetchRequest SClientDataSet::Request() const
{
    if (ProviderName.isEmpty())
        throw EDatabaseError(QStringLiteral("%1: falta el nombre del proveedor").arg(displayName()));
    if (m_statement.isEmpty() && !m_commandText.trimmed().isEmpty())
        throw EDatabaseError(QStringLiteral("%1: su consulta no es una sentencia del catálogo del módulo")
                                 .arg(displayName()));
    QList<protocol::ParamValue> values = paramValues();
    for (auto slot = m_slots.cbegin(); slot != m_slots.cend(); ++slot)
        values.append({slot.key(), fieldconv::typeOf(slot.value()), slot.value()});
    return protocol::FetchRequest{{}, ProviderName, m_statement, values, m_conditions};
}

void SClientDataSet::OpenWith(const protocol::FetchResult &answer)
{
    Close();
    m_answer = &answer;
    try {
        Open();
    } catch (...) {
        m_answer = nullptr;
        throw;
    }
    m_answer = nullptr;
}

void SClientDataSet::doOpen()
{
    const protocol::FetchResult fetched = m_answer ? protocol::FetchResult() : connection().Fetch(Request());
    const protocol::FetchResult &result = m_answer ? *m_answer : fetched;
    if (!result.ok())
        throw EDatabaseError(result.error);
    const bool fieldsFromServer = !hasDeclaredFields();
    if (fieldsFromServer) {
        destroyDynamicFields();
        for (const protocol::FieldDesc &desc : result.fields) {
            TField *field = addDynamicField(uniqueFieldName(desc.name), desc.type, desc.size);
            field->Required = desc.required;
        }
    }
    loadRows(result, fieldsFromServer);
}

// A join can return one column name twice (both tables' COD_EMPR); the second becomes
// COD_EMPR_1, the third COD_EMPR_2, so every field keeps a name of its own.
QString SClientDataSet::uniqueFieldName(const QString &name) const
{
    QString candidate = name;
    for (int n = 1; FindField(candidate); ++n)
        candidate = QStringLiteral("%1_%2").arg(name).arg(n);
    return candidate;
}

// Declared fields take the server's column of the same name, whatever its case (PostgreSQL
// answers in lower case); columns without a field are left out, fields without a column null.
// Fields made from the server's answer take their columns in order.
void SClientDataSet::loadRows(const protocol::FetchResult &result, bool fieldsFromServer)
{
    QList<QPair<TField *, int>> mapping;
    for (TField *field : Fields()) {
        if (field->FieldKind() != fkData)
            continue;
        const int column = fieldsFromServer ? int(mapping.size())
                                            : protocol::indexOfField(result.fields, field->FieldName());
        mapping.append({field, column});
    }
    records().clear();
    for (const QVariantList &row : result.rows) {
        auto record = newRecord();
        for (int i = 0; i < mapping.size(); ++i) {
            const auto &[field, column] = mapping.at(i);
            if (column >= 0 && column < row.size())
                record->values[size_t(i)] =
                    fieldconv::toStorage(row.at(column), field->DataType(), field->Size(), field->FieldName());
        }
        const int at = records().prepare(*record, nullptr);
        records().add(std::move(record), nullptr, at);
    }
}

void SClientDataSet::doClose()
{
    records().clear();
    destroyDynamicFields();
}

void SClientDataSet::applyUpdate(RowDelta::Kind kind, const TRecord *oldRecord, const TRecord *newRecord)
{
    if (SMainTable.isEmpty())
        throw EDatabaseError(QStringLiteral("%1: el conjunto de datos es de solo lectura (no tiene "
                                            "tabla de actualización)").arg(displayName()));
    RowDelta delta;
    delta.kind = kind;
    int slot = 0;
    for (TField *field : Fields()) {
        if (field->FieldKind() != fkData)
            continue;
        const size_t i = size_t(slot++);
        if (oldRecord && field->ProviderFlags.testFlag(pfInWhere))
            delta.oldValues.insert(field->FieldName(), oldRecord->values[i]);
        if (!newRecord || !field->ProviderFlags.testFlag(pfInUpdate))
            continue;
        const bool changed = !oldRecord || oldRecord->values[i] != newRecord->values[i];
        if (changed)
            delta.newValues.insert(field->FieldName(), newRecord->values[i]);
    }
    if (kind == RowDelta::Kind::Update && delta.newValues.isEmpty())
        return; // nothing changed: nothing to send
    connection().Apply(ProviderName, {delta});
}
