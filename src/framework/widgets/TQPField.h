#pragma once
// The look-up button: carries what a list-of-values look-up needs (the statement, the query
// columns to take and the target fields to fill, titles, the target dataset, the connection) and
// runs the look-up that the module installs. The framework knows no look-up window of its own:
// the module hands it one through setLookupRunner.

#include <QPushButton>
#include <QStringList>
#include <QVariantMap>
#include <functional>

class SDCOMConnection;
class TDataSet;

class TQPField : public QPushButton {
    Q_OBJECT
public:
    using LookupRunner = std::function<bool(TQPField *)>;

    explicit TQPField(QWidget *parent = nullptr);

    QStringList Variables;  // query columns to take, one per line
    QStringList Destino;    // target fields, line i for line i of Variables
    QStringList Titulos;    // column titles in column order; may be empty
    QString Titulo;         // the look-up window's title
    TDataSet *DataSet = nullptr;  // the target dataset; may be absent
    // The look-up statement, set by the click handler: its name in the module's statement
    // catalogue and the values of its slots (what travels), and its lines for a reader.
    QString Statement;
    QVariantMap Slots;
    QStringList SQL;
    int Tag = 0;            // 0: rows are listed at once; otherwise criteria are asked first
    // A query column whose value the button keeps after a copy, in ValorLookUp.
    QString LookUpField;
    QString ValorLookUp;
    QStringList Resultado;  // the values taken by the last accepted look-up

    // The connection the look-up's statement runs through: RemoteServer when set, else the
    // connection object named DataBaseName (any, when the name is empty) among the children of
    // the button's ancestors.
    QString DataBaseName;
    SDCOMConnection *RemoteServer = nullptr;
    SDCOMConnection *Connection() const;

    // The module's click handler. Without one a click runs the look-up directly.
    std::function<void(TQPField *)> OnClick;

    // Runs the installed look-up for this button; true when the user accepted a row.
    bool Ejecutar();

    static void setLookupRunner(LookupRunner runner);
    static bool hasLookupRunner();

signals:
    // After each look-up a click ran, with its answer.
    void lookupFinished(bool accepted);

private:
    void click();
};
