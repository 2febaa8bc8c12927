#pragma once
// The "Cargos Plan de Carrera" rows for the employee under the result cursor: the positions of
// the plan node's children with that employee's percentage and profile count, and the position
// name shown beside each code.

#include "engine/ResultSchema.h"

class TClientDataSet;
class TDataSet;
class TField;

namespace engine {

class EngineReads;

// Empties `positions` and refills it from the children of the current plan node whose plan
// belongs to the current result row's company. A row's code is set through its field, so the
// field's validation fills the name. The percentage is copied as the table stores it, rounded
// through `formatter`.
void refillCareerPositions(TDataSet &result, TDataSet &planNode, EngineReads &reads, TClientDataSet &positions,
                           const MaskFormatter &formatter);

// The name of the position whose code the field now holds, looked up in the active positions,
// trimmed and cut to the name field's size; left untouched when the code is not there.
void fillPositionName(TField &code, TDataSet &activePositions);

} // namespace engine
