#pragma once
// One row of the employee dataset of a candidate position: an active contract of an employee,
// with the values the evaluation and the result row read from it.

#include "engine/GenerationInputs.h"

#include <QString>
#include <QVariant>
#include <QVector>

#include <optional>

class SClientDataSet;

class TDataSet;

namespace engine {

struct GenerationDataSets;

struct CandidateEmployee {
    QVariant codEmpl;       // COD_EMPL as delivered
    double codEmplValue = 0;
    QString codEmplText;    // as text: a whole number without decimals
    QString apellidos;
    QString nombres;
    int codEmpr = 0;        // the contract's company
};
using CandidateEmployees = QVector<CandidateEmployee>;

// Points `employees` at the statement that lists the active contracts of one position of one
// company, by surname.
void useHoldersStatement(const GenerationDataSets &dataSets, SClientDataSet &employees, const CompanyPosition &position);

// The value the text of a code stands for once the server reads it back; none when it is no
// number. A code whose text reads back as another value is the only one whose existence check
// (the employee row of the company) can fail.
std::optional<double> valueOfCodeText(const QString &text);

// Every row of an open employee dataset, from the first.
CandidateEmployees readCandidates(TDataSet &employees);

} // namespace engine
