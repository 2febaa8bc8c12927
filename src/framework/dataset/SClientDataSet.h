#pragma once
// A client dataset that reads and writes through a named provider of the application server.
// Open fetches the statement (by its catalogue name) with its parameters and conditions; with a main table, every Post and Delete
// sends its row change to the server at once, and a refusal leaves the dataset as it was
// (the row still in edit or insert with the typed values, or still there). Without declared
// fields, the fields are made from the server's answer and go away on Close: look them up by
// name after each Open.

#include "framework/dataset/TClientDataSet.h"
#include "framework/dataset/TParams.h"

#include <QStringList>
#include <QVariantMap>

class SDCOMConnection;

class SClientDataSet : public TClientDataSet {
public:
    explicit SClientDataSet(const QString &name = QString());

    SDCOMConnection *RemoteServer = nullptr;
    QString ProviderName;
    QString SMainTable;       // table that receives the changes; empty: read-only
    bool SAuditFields = true; // the module's handlers fill the audit columns themselves
    int Company = 0;

    // The statement: a name of the module's statement catalogue, which is what travels, and its
    // text as the catalogue writes it, which stays here for a reader (and gives the dataset its
    // parameters). `slots` are the values of the text's {slots}, sent by name. Conditions are
    // dropped: they belonged to the statement before.
    void setStatement(const QString &name, const QString &text, const QVariantMap &slotValues = {});
    const QString &StatementName() const { return m_statement; }
    const QVariantMap &SlotValues() const { return m_slots; }

    // The statement's lines. Setting them makes CommandText the lines each followed by CR LF.
    const QStringList &SQL() const { return m_sql; }
    void setSQL(const QStringList &lines);
    // The statement's text; setting it directly keeps it exactly as given. Both setters forget
    // the statement's name: a text of no name cannot be opened (the server runs only the
    // catalogue's statements), an empty one opens the provider's own statement.
    const QString &CommandText() const { return m_commandText; }
    void setCommandText(const QString &text);

    // Conditions on the statement's searchable columns, sent with every open (query by example,
    // the look-up dialog).
    void setConditions(const QList<protocol::Condition> &conditions) { m_conditions = conditions; }
    const QList<protocol::Condition> &Conditions() const { return m_conditions; }

    // Both statement setters re-read the parameters from the text; parameters that already
    // existed keep their declared type and value.
    TParams &Params() { return m_params; }
    TParam *ParamByName(const QString &name) const { return m_params.ParamByName(name); }

    // What Open sends to the server, and Open with an answer read beforehand (several reads in
    // one round trip, see SDCOMConnection::FetchMany): the dataset opens on those rows as if it
    // had fetched them, its events included. A failed answer throws its error.
    protocol::FetchRequest Request() const;
    void OpenWith(const protocol::FetchResult &answer);

protected:
    void doOpen() override;
    void doClose() override;
    void applyUpdate(protocol::RowDelta::Kind kind, const TRecord *oldRecord,
                     const TRecord *newRecord) override;

private:
    SDCOMConnection &connection() const;
    void forgetStatement();
    QList<protocol::ParamValue> paramValues() const;
    void loadRows(const protocol::FetchResult &result, bool fieldsFromServer);
    QString uniqueFieldName(const QString &name) const;

    QString m_statement;
    QVariantMap m_slots;
    QList<protocol::Condition> m_conditions;
    QStringList m_sql;
    QString m_commandText;
    const protocol::FetchResult *m_answer = nullptr;   // read beforehand, for OpenWith
    TParams m_params;
};
