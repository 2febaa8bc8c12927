#pragma once
// What a traffic-light run is asked to do, as typed values: the target position and its
// company, the candidate positions with their companies in the order they are evaluated, the
// ticked requirement categories and the education-without-points flag. Also the checks of those
// inputs, and their one conversion from the codes a career tree names.

#include "engine/ProfileScoring.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <exception>

namespace engine {

// A position code of one company, as a career plan node names it.
struct CompanyPosition {
    QString code;
    int company = 0;

    bool operator==(const CompanyPosition &other) const { return code == other.code && company == other.company; }
};
using CompanyPositions = QVector<CompanyPosition>;

struct GenerationInputs {
    CompanyPosition target;
    CompanyPositions candidates;
    Categories categories;
    bool eduSinPuntos = false;
    // The failure met in the candidate lists right after `candidates` (a company that is not a
    // whole number, a company list shorter than the position list): a run evaluates the
    // candidates before it, keeps their rows and then ends with it.
    std::exception_ptr endsAfterCandidates;
};

// What a malformed candidate list does to the inputs: refuse them at once (the succession map
// leaves such a node out), or end the run there (a single node's traffic light).
enum class BadCandidate { Refuses, EndsTheRun };

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

// The category codes of the ticked boxes (EF, EN, EP, CO, CF, CE with all four ticked). Throws
// Exception(noCategoryMessage()) when nothing is ticked.
QStringList categoryCodes(const Categories &categories);

// The employee's company or the target company as the run reads it: a whole number, checked
// against the 16-bit range of the parameters it goes to. Throws EConvertError.
int companyNumber(const QString &text);

// The two checks every run makes before it reads anything, in this order: a category is ticked
// (noCategoryMessage()), a candidate position is given (noPositionMessage(); a list whose first
// candidate is malformed passes, to end the run with its own failure).
void checkGenerationInputs(const GenerationInputs &inputs);

// The inputs from the codes a career tree names: the target position and its company, and the
// candidate positions with their companies in parallel order, companies as text. The run's two
// checks come first, so that their messages win over a malformed list (no candidate position is
// an empty list); then a target company that is not a whole number throws EConvertError. A
// candidate's company that is not a whole number (EConvertError) or missing (Exception) throws
// too, or, with BadCandidate::EndsTheRun, ends the candidates there.
GenerationInputs inputsFromCodes(const QString &cargoAspira, const QString &empreAspira,
                                 const QStringList &positions, const QStringList &companies,
                                 const Categories &categories, bool eduSinPuntos,
                                 BadCandidate badCandidate = BadCandidate::Refuses);

} // namespace engine
