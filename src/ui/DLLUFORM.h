#pragma once
// The look-up dialog: a modal list of values. A look-up button hands it a query, the query
// columns to take and the target fields to fill; the dialog runs the query, lets the user find a
// row (scrolling, incremental search on a chosen column, a typed value, or query-by-example
// criteria) and on acceptance copies the row's values into the target dataset's current record
// and returns them to the button.

#include "framework/dataset/SClientDataSet.h"
#include "framework/dataset/TDataSource.h"

#include "ui_DLLUFORM.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

class TQPField;

// The controls of DLLUFORM.ui are the dialog's own members, under their names in the file.
class TCaptura : public QDialog, public Ui::TCaptura {
    Q_OBJECT
public:
    explicit TCaptura(QWidget *parent = nullptr);
    ~TCaptura() override;

    // Runs the creation handler once the object is fully built: the dialog becomes the look-up
    // that every look-up button runs.
    void AfterConstruction();

    // Runs one look-up for `boton`; true when the user accepted a row.
    bool EjecutarCaptura(TQPField *boton);

    // Event handlers.
    void FormShow();
    void CdsTmpAfterOpen(TDataSet *DataSet);
    void Datos1DataChange(TDataSource *Sender, TField *Field);
    void BitBtnAceptarClick();
    void DBGrid1DblClick();
    void CmbCamposClick();
    void edtBusquedaKeyPress();
    void edtBusquedaChange();
    void SpeedButton1Click();

    bool FBoAbrir = false;
    QStringList FVariables;
    QStringList FDestino;
    QStringList FValores;
    TDataSet *FDataSet = nullptr;

    TDataSource Datos1;
    SClientDataSet CdsTmp{QStringLiteral("CdsTmp")};

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void bindControls();
    void connectHandlers();
    bool copiarColumna(int i);
    void llenarCampos();
};

extern QPointer<TCaptura> Captura;
