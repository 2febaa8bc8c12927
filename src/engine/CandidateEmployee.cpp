#include "engine/CandidateEmployee.h"


#include <QLocale>

namespace engine {

std::optional<double> valueOfCodeText(const QString &text)
{
    // Up to fifteen digits are a whole number a double holds exactly (the usual code): read
    // without the locale's parser, which costs more than the rest of the check.
    if (!text.isEmpty() && text.size() <= 15) {
        qint64 whole = 0;
        bool digits = true;
        for (const QChar c : text) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
                digits = false;
                break;
            }
            whole = whole * 10 + (c.unicode() - '0');
        }
        if (digits)
            return double(whole);
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

} // namespace engine
