#pragma once
// The look-up dialog: a modal list of values. A look-up button hands it a query, the query
// columns to take and the target fields to fill; the dialog runs the query, lets the user find a
// row (scrolling, incremental search on a chosen column, a typed value, or query-by-example
// criteria) and on acceptance copies the row's values into the target dataset's current record
// and returns them to the button.

#include "framework/dataset/SClientDataSet.h"
#include "framework/dataset/TDataSource.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QFrame;
class TQNavegador;
class TQPField;
class TQSDBQbe;
class TQsCmbCodigo;
class TVelkarDBgrid;

namespace Ui {
class TCaptura;
}

class TCaptura : public QDialog {
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

    QLabel *Label3, *Label4, *Label5, *LblVersion;
    TQsCmbCodigo *CmbCampos;
    QLineEdit *edtBusqueda, *edtValor;
    QToolButton *SpeedButton1;
    TVelkarDBgrid *DBGrid1;
    TQNavegador *QNavegador1;
    QPushButton *BitBtnAceptar, *BitBtn2, *BitBtn3;
    TQSDBQbe *QSDBQbe1;
    QFrame *sistemas;
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

    std::unique_ptr<Ui::TCaptura> ui;
};

extern QPointer<TCaptura> Captura;
