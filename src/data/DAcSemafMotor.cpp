// The data module's profile matching and traffic-light generation.

#include "DAcSemaf.h"

void TDtmAcSemaf::DefinirEventosMotor() {}
