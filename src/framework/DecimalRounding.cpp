#include "DecimalRounding.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

double DecimalRounding::halfAwayFromZero(double value, int decimals)
{
    if (!std::isfinite(value) || value == 0.0)
        return value;
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
    const double rounded = std::strtod(text.c_str(), nullptr);
    return value < 0 ? -rounded : rounded;
}
