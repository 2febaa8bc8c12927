#pragma once
// A client dataset that reads and writes through a named provider of the application server.
// Open fetches the statement with its parameters; with a main table, every Post and Delete
// sends its row change to the server at once, and a refusal leaves the dataset as it was
// (the row still in edit or insert with the typed values, or still there). Without declared
// fields, the fields are made from the server's answer and go away on Close: look them up by
// name after each Open.

#include "framework/dataset/TClientDataSet.h"
#include "framework/dataset/TParams.h"

#include <QStringList>

class SDCOMConnection;

class SClientDataSet : public TClientDataSet {
public:
    explicit SClientDataSet(const QString &name = QString());

    SDCOMConnection *RemoteServer = nullptr;
    QString ProviderName;
    QString SMainTable;       // table that receives the changes; empty: read-only
    bool SAuditFields = true; // the module's handlers fill the audit columns themselves
    int Company = 0;

    // The statement's lines. Setting them makes CommandText the lines each followed by CR LF.
    const QStringList &SQL() const { return m_sql; }
    void setSQL(const QStringList &lines);
    // The text sent to the server; setting it directly keeps it exactly as given.
    const QString &CommandText() const { return m_commandText; }
    void setCommandText(const QString &text);

    // Both statement setters re-read the parameters from the text; parameters that already
    // existed keep their declared type and value.
    TParams &Params() { return m_params; }
    TParam *ParamByName(const QString &name) const { return m_params.ParamByName(name); }

protected:
    void doOpen() override;
    void doClose() override;
    void applyUpdate(protocol::RowDelta::Kind kind, const TRecord *oldRecord,
                     const TRecord *newRecord) override;

private:
    SDCOMConnection &connection() const;
    QList<protocol::ParamValue> paramValues() const;
    void loadRows(const protocol::FetchResult &result, bool fieldsFromServer);
    QString uniqueFieldName(const QString &name) const;

    QStringList m_sql;
    QString m_commandText;
    TParams m_params;
};
