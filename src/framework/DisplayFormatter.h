#pragma once
// Turns values into the text a grid, an edit or a report shows. Two notations are served:
// numeric masks ("#,##0.00 %", "###.##": `0` a digit always shown, `#` a digit shown when
// significant, `,` thousands grouping, `.` the decimal point, anything else literal text, quoted
// text kept as written, up to three ";"-separated sections for positive, negative and zero) and
// the report engine's printf-like formats ("%2.2n" with grouping, "%2.2f" without). Separators are
// the given locale's, by default the workstation's.

#include <QLocale>
#include <QString>
#include <QVariant>

class DisplayFormatter {
public:
    static QString formatFloat(const QString &mask, double value, const QLocale &locale = QLocale());
    static QString formatPrintf(const QString &format, double value, const QLocale &locale = QLocale());
    // Null shows as nothing; numbers go through the mask (or plain when there is none); dates
    // through the date part of the mask; anything else as its text.
    static QString formatValue(const QString &mask, const QVariant &value, const QLocale &locale = QLocale());
    // Reads back text a user typed into a numeric edit, accepting the locale's grouping.
    static bool parseNumber(const QString &text, double *value, const QLocale &locale = QLocale());
};
