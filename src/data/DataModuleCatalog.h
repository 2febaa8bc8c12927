#pragma once
// The data module's definitions as data: for every dataset its provider, statement lines,
// parameters, persistent fields, filter and update settings, the in-memory tables with their
// fields and indexes, and the data sources. Read once from the catalogue resource; the fields of
// the two traffic-light result tables come from the engine's result schema.

#include <QJsonArray>
#include <QJsonObject>

namespace engine {
struct ResultTable;
}

class TDataSet;
class TDtmAcSemaf;
class SClientDataSet;

class DataModuleCatalog {
public:
    static const DataModuleCatalog &instance();

    // Gives the data module's datasets and data sources their definitions.
    void applyTo(TDtmAcSemaf &module) const;

    // The definition of one dataset (empty when unknown), for tests and tools.
    QJsonObject dataSetDefinition(const QString &name) const;

    // Gives `dataSet` the fields of a result table, in the schema's order.
    static void defineResultFields(TDataSet &dataSet, const engine::ResultTable &table);

private:
    DataModuleCatalog();
    void defineRemote(SClientDataSet &dataSet, const QJsonObject &definition) const;
    void defineFields(TDataSet &dataSet, const QJsonArray &fields) const;

    QJsonArray m_remote;
    QJsonArray m_client;
    QJsonArray m_sources;
};
