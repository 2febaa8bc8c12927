#pragma once
// The succession page's snapshots ("cortes"): "Guardar corte" keeps the map on the page (asking
// for an optional label), "Comparar cortes" picks two snapshots of the tree's plan and shows per
// node the change in people ready now and per person the band's move and the score's change,
// with the report "Evolución del Plan"; and, beside "Ver Competencias" on the result grid, the
// employee's history over the snapshots. It adds its controls to the main form it is given and
// lives as long as the form.

#include <QObject>

class QAction;
class QPushButton;
class TFrmAcSemaf;

class TCortesSucesion : public QObject {
    Q_OBJECT
public:
    explicit TCortesSucesion(TFrmAcSemaf &forma);

    QPushButton *BtnGuardarCorte = nullptr;
    QPushButton *BtnCompararCortes = nullptr;
    QAction *BntHistorialCortes = nullptr;

    // Asks for the label and keeps the map shown on the page; refuses without one.
    void BtnGuardarCorteClick();
    // The comparison window of the plan's snapshots; refuses with fewer than two.
    void BtnCompararCortesClick();
    // The snapshots' lines of the employee under the result cursor.
    void BntHistorialCortesClick();

    // Refusals, as the user reads them.
    static QString sinMapaMessage();
    static QString pocosCortesMessage(int plan, int cortes);

private:
    TFrmAcSemaf &m_forma;
};
