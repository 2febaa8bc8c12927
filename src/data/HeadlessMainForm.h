#pragma once
// The main form's state without a window: what the command line, the tests and the benchmarks
// hand the data module in place of the real form.

#include "data/IFrmAcSemaf.h"

class HeadlessMainForm : public IFrmAcSemaf {
public:
    void DibujarArbol() override { ++treeDrawings; }
    int CodigoPaisEmpresa() const override { return countryCode; }
    void LlenarListaCargos(const QStringList &items) override
    {
        positions = items;
        positionIndex = -1;
    }
    QStringList ListaCargos() const override { return positions; }
    int IndiceCargo() const override { return positionIndex; }
    void SeleccionarCargo(int index) override { positionIndex = index < positions.size() ? index : -1; }
    void MostrarNombreCargo(const QString &text) override { positionText = text; }
    void LimpiarArbol() override { ++treeClears; }
    void LimpiarFiltros() override
    {
        filterIndex = -1;
        categories = {};
    }
    engine::Categories CategoriasMarcadas() const override { return categories; }

    QStringList positions;
    int positionIndex = -1;
    QString positionText;
    int filterIndex = -1;
    engine::Categories categories;
    int countryCode = 170;
    int treeDrawings = 0;
    int treeClears = 0;
};
