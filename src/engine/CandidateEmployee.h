#pragma once
// One row of the employee dataset of a candidate position: an active contract of an employee,
// with the values the evaluation and the result row read from it.

#include "engine/GenerationInputs.h"

#include <QString>
#include <QVariant>
#include <QVector>

class TDataSet;

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

// The statement that lists the active contracts of one position of one company, by surname.
// The company is written as a number; the position is quoted.
QString employeeStatement(const CompanyPosition &position);

// Every row of an open employee dataset, from the first.
CandidateEmployees readCandidates(TDataSet &employees);

} // namespace engine
