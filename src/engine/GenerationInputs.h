#pragma once
// What a traffic-light run is asked to do, as plain values: the target position and its
// company, the candidate positions and their companies (single-quoted codes joined by commas,
// in parallel order), the ticked requirement categories and the education-without-points flag.
// Also the two checks of those inputs and the splitting of the lists.

#include "ProfileScoring.h"

#include <QString>
#include <QStringList>

namespace engine {

struct GenerationInputs {
    QString cargoAspira;   // code of the target position
    QString empreAspira;   // company of the target position, a whole number as text
    QString cargoActual;   // candidate positions: 'C1','C2'
    QString empCaActual;   // their companies, same form and order: '1','2'
    Categories categories;
    bool eduSinPuntos = false;
};

inline const QString &noCategoryMessage()
{
    static const QString text = QStringLiteral("Debe Seleccionar Competencias...");
    return text;
}

inline const QString &noPositionMessage()
{
    static const QString text = QStringLiteral(
        "No se seleccionó cargo en el árbol o no existen cargos debajo del mismo...");
    return text;
}

// Single quotes are dropped and every comma ends an item; the text after the last comma is an
// item too, even when empty.
QStringList separarLista(const QString &texto);

// The category codes of the ticked boxes as they go between the quotes of IN ('...'):
// EF','EN','EP','CO','CF','CE with all four ticked. Throws Exception(noCategoryMessage()) when
// nothing is ticked.
QString categoryList(const Categories &categories);

// The employee's company or the target company as the run reads it: a whole number, checked
// against the 16-bit range of the parameters it goes to. Throws EConvertError.
int companyNumber(const QString &text);

} // namespace engine
