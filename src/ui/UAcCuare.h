#pragma once
// The replacement-table window "Cuadros Reemplazo": the replacement rows of the plan node that is
// current in the main form, in a grid with a navigator, the employee look-up behind the
// identification column's ellipsis button and the "Si"/"No" list of the head flag. The rows are
// the data module's QryAcCuare, reached through its data source DtsAcCuare; the rules of the rows
// (defaults, names, age, checks of employee and position) are the data module's.

#include "ui_UAcCuare.h"

#include <QDialog>

class TDtmAcSemaf;

// The controls of UAcCuare.ui are the window's own members, under their names in the file.
class TFrmAcCuare : public QDialog, public Ui::TFrmAcCuare {
    Q_OBJECT
public:
    explicit TFrmAcCuare(TDtmAcSemaf *modulo, QWidget *parent = nullptr);
    ~TFrmAcCuare() override;

    // Opens the window modally on the replacement rows of the current plan node and returns its
    // result. Fails, showing nothing, when no plan node is current.
    static int MostrarCuadroReemplazo(TDtmAcSemaf *modulo, QWidget *parent = nullptr);

    // The ellipsis button of the identification column: the employee look-up.
    void DBGrdCuadroEditButtonClick(TVelkarDBgrid *Sender);
    // The look-up of employees with an active contract in the session's company; the chosen row's
    // identification and position go into the replacement row.
    void QPFldCod_cargClick(TQPField *Sender);

    // Closing with a pending row asks whether to save it; a refused save keeps the window open.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void configurarGrilla();
    void configurarLupa();
    void configurarNavegador();
    bool resolverFilaPendiente();

    TDtmAcSemaf *m_modulo;
};
