#include "framework/DecimalRounding.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The same rounding in binary, for a value whose scaled form is far enough from a half that the
// binary error cannot decide it (under a millionth of its distance): false when it is not.
// The result, a whole number over a power of ten, is the double the decimal text reads as.
bool roundScaled(double value, int decimals, double *rounded)
{
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    if (decimals < 0 || decimals > 8)
        return false;
    const double scale = kPowers[decimals];
    const double scaled = std::fabs(value) * scale;
    if (!(scaled < 1e6))
        return false;
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < 1e-6)
        return false;
    const double digits = fraction > 0.5 ? whole + 1 : whole;
    if (digits == 0) {
        *rounded = 0.0;
        return true;
    }
    *rounded = value < 0 ? -(digits / scale) : digits / scale;
    return true;
}

} // namespace

double DecimalRounding::halfAwayFromZero(double value, int decimals)
{
    if (!std::isfinite(value) || value == 0.0)
        return value;
    double rounded = 0;
    if (roundScaled(value, decimals, &rounded))
        return rounded;
    // The classic formatter rounds the decimal expansion of the number (18 significant digits)
    // half away from zero. Scaling by 10^decimals in binary can push a value such as
    // 1.0049999999999999 across the half; working on the digits does not.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.17e", std::fabs(value));
    std::string digits;
    for (const char *p = buffer; *p && *p != 'e'; ++p)
        if (*p != '.')
            digits += *p;
    const int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    const int keep = exponent + decimals + 1; // digits at or above 10^-decimals
    if (keep >= int(digits.size()))
        return value;
    if (keep < 0)
        return 0.0;
    std::string kept = digits.substr(0, size_t(keep));
    int scale = exponent - keep + 1;
    if (digits[size_t(keep)] >= '5') {
        int i = keep - 1;
        while (i >= 0 && kept[size_t(i)] == '9')
            kept[size_t(i--)] = '0';
        if (i >= 0)
            ++kept[size_t(i)];
        else
            kept.insert(kept.begin(), '1');
    }
    if (kept.empty())
        return 0.0;
    const std::string text = kept + "e" + std::to_string(scale);
    rounded = std::strtod(text.c_str(), nullptr);
    return value < 0 ? -rounded : rounded;
}
