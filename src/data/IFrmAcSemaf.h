#pragma once
// What the data module's rules read and write of the main form: the controls that show the plan
// node's position and the generation inputs, the inputs themselves, and the tree drawing. The
// main form fills these members when it is created; a headless run can fill them too.

#include <QString>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTreeWidget;
class QWidget;
class TRadioGroup;

class IFrmAcSemaf {
public:
    virtual ~IFrmAcSemaf() = default;

    // Draws the career tree of the current plan row again when gVrCodMenu asks for it.
    virtual void DibujarArbol() = 0;
    // The current company's country code, kept with the master form's company data.
    virtual int CodigoPaisEmpresa() const = 0;

    QComboBox *cmbEmpCarg = nullptr;        // "company-position*name" items
    QLineEdit *edtEdtNmbCarg = nullptr;     // read-only text of the node's position
    QTreeWidget *TreeViewCarrera = nullptr;
    TRadioGroup *RdgFiltro = nullptr;
    QCheckBox *ChkCompe = nullptr;
    QCheckBox *ChkEduFor = nullptr;
    QCheckBox *ChkEduNo = nullptr;
    QCheckBox *ChkExpe = nullptr;
    QWidget *DBGrdSemaforo = nullptr;       // the traffic-light grid

    // Generation inputs, built by the career tree from the selected node.
    QString CargoAspira;
    QString EmpreAspira;
    QString CargoActual;
    QString EmpCaActual;
    bool gBoNexofEduSinPuntos = false;
};
