#pragma once
// What the data module's rules read and write of the main form, without knowing its widgets:
// the position chooser and the position text of the plan node, the tree, the filter and the
// ticked categories, and the generation inputs the career tree builds. The main form implements
// it over its controls; HeadlessMainForm keeps the same state in plain values.

#include "engine/ProfileScoring.h"

#include <QString>
#include <QStringList>

class IFrmAcSemaf {
public:
    virtual ~IFrmAcSemaf() = default;

    // Draws the career tree of the current plan row again when gVrCodMenu asks for it.
    virtual void DibujarArbol() = 0;
    // The current company's country code, kept with the master form's company data.
    virtual int CodigoPaisEmpresa() const = 0;

    // The position chooser cmbEmpCarg: "company-position*name" items and the chosen one (-1: none).
    virtual void LlenarListaCargos(const QStringList &items) = 0;
    virtual QStringList ListaCargos() const = 0;
    virtual int IndiceCargo() const = 0;
    virtual void SeleccionarCargo(int index) = 0;
    // The read-only text of the node's position, edtEdtNmbCarg.
    virtual void MostrarNombreCargo(const QString &text) = 0;
    // A new plan row starts from a blank page: no tree, no filter, no category ticked.
    virtual void LimpiarArbol() = 0;
    virtual void LimpiarFiltros() = 0;
    // The requirement categories ticked for a generation run.
    virtual engine::Categories CategoriasMarcadas() const = 0;
    // The traffic-light grid lays its columns out again after a run.
    virtual void ReacomodarGrillaSemaforo() {}

    // Generation inputs, built by the career tree from the selected node.
    QString CargoAspira;
    QString EmpreAspira;
    QString CargoActual;
    QString EmpCaActual;
    bool gBoNexofEduSinPuntos = false;
};
