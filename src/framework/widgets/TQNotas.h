#pragma once
// Notes and alerts that users attach to the current record of a form. The button opens a window
// with the record's notes (who wrote each and when) where a new note or alert is added; the
// button shows how many alerts the record has. Notes live in the table GN_NOTAS behind the
// provider "DtsPGnNotas", keyed by form, company (that of the connection's session) and the value
// of the record's key field.

#include "framework/dataset/SClientDataSet.h"
#include "framework/dataset/TDataLink.h"

#include <QToolButton>

class SDCOMConnection;

class TQNotas : public QToolButton, private TDataLink {
    Q_OBJECT
public:
    explicit TQNotas(QWidget *parent = nullptr);
    ~TQNotas() override;

    void setDataSet(TDataSet *dataSet);
    TDataSet *DataSet() const { return m_dataSet; }
    SDCOMConnection *RemoteServer = nullptr;
    QString TituloForma;   // shown in the window's title
    QString Forma;         // the form's name, part of the notes' key
    QString Campo;         // the key field of the record
    QString Usuario;       // the user who writes new notes; empty: the connection's session's user

    // The current record's key value; empty when there is no record.
    QString Llave() const;
    // Reads the current record's notes; the alert count follows.
    void Refrescar();
    int Alertas() const { return m_alerts; }
    // Adds a note (or an alert) to the current record; throws when the server refuses it.
    void AgregarNota(const QString &texto, bool alerta);
    // Opens the notes window (modal, through the dialog service).
    void Abrir();

    SClientDataSet CdsNotas{QStringLiteral("CdsNotas")};

private:
    void dataEvent(TDataEvent event, TField *field) override;
    void dataSetDestroyed() override;
    void showAlerts();

    TDataSet *m_dataSet = nullptr;
    QString m_shownKey;
    int m_alerts = 0;
};
