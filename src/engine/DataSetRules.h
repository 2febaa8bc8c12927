#pragma once
// The matching rules over the datasets that hold the profile and an employee's records, as the
// rules word them: they read the current profile row and walk the employee's dataset from its
// current record, leaving it where the walk ended. The competence report reads its rows through
// profileRowAt and categoryRecordAt; the walks are the rules' literal wording, which the
// generation's own scoring is checked against. Value equality is sameValue of ProfileScoring.

#include "engine/ProfileScoring.h"

class TDataSet;

namespace engine {

// COD_REQU, then COD_ESPE, then TIP_REGI of both current records; fields are read only as far
// as the comparison goes.
bool mismoRequisito(TDataSet &profile, TDataSet &records);

// From the current record to the end; with education without points the walk stops on the
// first record that earns the row's required points.
void sumarPuntosEducacion(TDataSet &profile, TDataSet &records, bool eduSinPuntos, long double &obtained);
void sumarPuntosExperiencia(TDataSet &profile, TDataSet &records, long double &obtained);
// From the first line to the end; the line's COD_REGI stands for the record type.
void sumarPuntosCompetencias(TDataSet &profile, TDataSet &lines, long double &obtained);

// The current rows as plain values.
ProfileRow profileRowAt(TDataSet &profile);
CategoryRecord categoryRecordAt(TDataSet &records, bool competenceLine);

} // namespace engine
