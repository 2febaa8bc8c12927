#pragma once
// Rounding to a number of decimals as the suite's formatter does: an exact half goes away from
// zero, decided on the value's decimal digits rather than on a scaled binary product.

class DecimalRounding {
public:
    static double halfAwayFromZero(double value, int decimals);
};
