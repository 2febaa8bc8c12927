#pragma once
// One holder of a candidate position: an active contract of an employee, with the values the
// evaluation and the result row read from it.

#include "engine/GenerationInputs.h"

#include <QString>
#include <QVariant>
#include <QVector>

#include <optional>

namespace engine {

struct CandidateEmployee {
    QVariant codEmpl;       // COD_EMPL as delivered
    double codEmplValue = 0;
    QString codEmplText;    // as text: a whole number without decimals
    QString apellidos;
    QString nombres;
    int codEmpr = 0;        // the contract's company
};
using CandidateEmployees = QVector<CandidateEmployee>;

// The value the text of a code stands for once the server reads it back; none when it is no
// number. A code whose text reads back as another value is the only one whose existence check
// (the employee row of the company) can fail.
std::optional<double> valueOfCodeText(const QString &text);

} // namespace engine
