#include "data/DataModuleCatalog.h"

#include "data/DAcSemaf.h"
#include "data/StatementCatalog.h"
#include "engine/ResultSchema.h"
#include "framework/Exceptions.h"
#include "framework/dataset/TField.h"
#include "framework/dataset/TParam.h"
#include "framework/dataset/TParams.h"

#include <QFile>
#include <QJsonDocument>

namespace {

protocol::FieldType typeOf(const QJsonObject &definition)
{
    return protocol::fieldTypeFromName(definition.value(QLatin1String("type")).toString());
}

TFieldKind kindOf(const QJsonObject &definition)
{
    const QString kind = definition.value(QLatin1String("kind")).toString();
    if (kind == QLatin1String("calculated"))
        return fkCalculated;
    if (kind == QLatin1String("lookup"))
        return fkLookup;
    return fkData;
}

TParamType directionOf(const QJsonObject &definition)
{
    return definition.value(QLatin1String("direction")).toString() == QLatin1String("input") ? ptInput
                                                                                            : ptUnknown;
}

protocol::FieldType typeOfResult(engine::ResultFieldType type)
{
    switch (type) {
    case engine::ResultFieldType::Float:
        return protocol::FieldType::Float;
    case engine::ResultFieldType::SmallInt:
        return protocol::FieldType::Smallint;
    case engine::ResultFieldType::Integer:
        return protocol::FieldType::Integer;
    case engine::ResultFieldType::Text:
        break;
    }
    return protocol::FieldType::String;
}

} // namespace

const DataModuleCatalog &DataModuleCatalog::instance()
{
    static const DataModuleCatalog catalog;
    return catalog;
}

DataModuleCatalog::DataModuleCatalog()
{
    QFile file(QStringLiteral(":/data/DtmAcSemaf.json"));
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("No se encontró el catálogo de datos del módulo."));
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    m_remote = root.value(QLatin1String("remoteDataSets")).toArray();
    m_client = root.value(QLatin1String("clientDataSets")).toArray();
    m_sources = root.value(QLatin1String("dataSources")).toArray();
}

QJsonObject DataModuleCatalog::dataSetDefinition(const QString &name) const
{
    for (const QJsonArray *list : {&m_remote, &m_client})
        for (const QJsonValue &value : *list)
            if (value.toObject().value(QLatin1String("name")).toString() == name)
                return value.toObject();
    return {};
}

void DataModuleCatalog::applyTo(TDtmAcSemaf &module) const
{
    for (const QJsonValue &value : m_remote) {
        const QJsonObject definition = value.toObject();
        if (SClientDataSet *dataSet = module.remoteDataSet(definition.value(QLatin1String("name")).toString()))
            defineRemote(*dataSet, definition);
    }
    for (const QJsonValue &value : m_client) {
        const QJsonObject definition = value.toObject();
        const QString name = definition.value(QLatin1String("name")).toString();
        TClientDataSet *dataSet = module.clientDataSet(name);
        if (!dataSet)
            continue;
        if (const engine::ResultTable *result = engine::resultTable(name))
            defineResultFields(*dataSet, *result);
        else
            defineFields(*dataSet, definition.value(QLatin1String("fields")).toArray());
        for (const QJsonValue &index : definition.value(QLatin1String("indexes")).toArray()) {
            const QJsonObject def = index.toObject();
            dataSet->IndexDefs().Add(def.value(QLatin1String("name")).toString(),
                                     def.value(QLatin1String("fields")).toString(),
                                     def.value(QLatin1String("descending")).toBool() ? ixDescending : TIndexOptions{});
        }
        dataSet->setIndexFieldNames(definition.value(QLatin1String("indexFieldNames")).toString());
    }
    for (const QJsonValue &value : m_sources) {
        const QJsonObject definition = value.toObject();
        TDataSource *source = module.dataSource(definition.value(QLatin1String("name")).toString());
        const QString dataSetName = definition.value(QLatin1String("dataSet")).toString();
        TDataSet *dataSet = module.remoteDataSet(dataSetName);
        if (!dataSet)
            dataSet = module.clientDataSet(dataSetName);
        if (source && dataSet) {
            source->setDataSet(dataSet);
            source->AutoEdit = definition.value(QLatin1String("autoEdit")).toBool(true);
        }
    }
}

void DataModuleCatalog::defineRemote(SClientDataSet &dataSet, const QJsonObject &definition) const
{
    dataSet.ProviderName = definition.value(QLatin1String("provider")).toString();
    dataSet.SMainTable = definition.value(QLatin1String("mainTable")).toString();
    dataSet.SAuditFields = definition.value(QLatin1String("auditFields")).toBool(true);
    dataSet.Company = 0;
    // The statement by its name in the module's catalogue; none: the provider's own.
    if (const QString statement = definition.value(QLatin1String("statement")).toString(); !statement.isEmpty())
        StatementCatalog::module().use(dataSet, statement);
    for (const QJsonValue &value : definition.value(QLatin1String("params")).toArray()) {
        const QJsonObject param = value.toObject();
        dataSet.Params().CreateParam(typeOf(param), param.value(QLatin1String("name")).toString(),
                                     directionOf(param));
    }
    defineFields(dataSet, definition.value(QLatin1String("fields")).toArray());
    const QString filter = definition.value(QLatin1String("filter")).toString();
    if (!filter.isEmpty()) {
        dataSet.setFilter(filter);
        dataSet.setFiltered(true);
    }
}

void DataModuleCatalog::defineResultFields(TDataSet &dataSet, const engine::ResultTable &table)
{
    for (const engine::ResultField &definition : table.fields) {
        TField *field = dataSet.AddField(definition.name, typeOfResult(definition.type), definition.size,
                                         definition.label);
        field->DisplayFormat = definition.displayFormat;
    }
}

void DataModuleCatalog::defineFields(TDataSet &dataSet, const QJsonArray &fields) const
{
    for (const QJsonValue &value : fields) {
        const QJsonObject definition = value.toObject();
        TField *field = dataSet.AddField(definition.value(QLatin1String("name")).toString(), typeOf(definition),
                                         definition.value(QLatin1String("size")).toInt(),
                                         definition.value(QLatin1String("label")).toString(), kindOf(definition));
        field->FixedChar = definition.value(QLatin1String("fixed")).toBool();
        field->Required = definition.value(QLatin1String("required")).toBool();
        field->DisplayWidth = definition.value(QLatin1String("displayWidth")).toInt();
        field->DisplayFormat = definition.value(QLatin1String("displayFormat")).toString();
        field->EditFormat = definition.value(QLatin1String("editFormat")).toString();
        if (definition.value(QLatin1String("key")).toBool())
            field->ProviderFlags |= pfInKey;
        if (field->FieldKind() == fkLookup) {
            field->KeyFields = definition.value(QLatin1String("keyFields")).toString();
            field->LookupKeyFields = definition.value(QLatin1String("lookupKeyFields")).toString();
            field->LookupResultField = definition.value(QLatin1String("lookupResultField")).toString();
        }
    }
}
