#include "framework/DisplayFormatter.h"

#include "framework/DecimalRounding.h"
#include "framework/dataset/FieldConvert.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace {

// One section of a numeric mask, read once.
struct MaskSection {
    QString prefix;         // literal text before the first digit placeholder
    QString suffix;         // literal text after the last one (and any between them)
    int minIntegerDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool grouping = false;
    bool hasDigits = false;
};

QStringList splitSections(const QString &mask)
{
    QStringList sections(QString{});
    QChar quote;
    for (const QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections.append(QString{});
            continue;
        }
        sections.last().append(c);
    }
    return sections;
}

MaskSection readSection(const QString &text)
{
    MaskSection s;
    bool afterPoint = false;
    bool seenZero = false;
    QChar quote;
    for (const QChar c : text) {
        QString &literal = s.hasDigits ? s.suffix : s.prefix;
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                literal.append(c);
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            s.hasDigits = true;
            if (afterPoint) {
                ++s.maxDecimals;
                if (c == QLatin1Char('0'))
                    s.minDecimals = s.maxDecimals;
            } else if (c == QLatin1Char('0') || seenZero) {
                seenZero = true;
                ++s.minIntegerDigits;
            }
        } else if (c == QLatin1Char('.') && !afterPoint && !s.suffix.size()) {
            afterPoint = true;
            s.hasDigits = true;
        } else if (c == QLatin1Char(',') && s.hasDigits && !afterPoint) {
            s.grouping = true;
        } else {
            literal.append(c);
        }
    }
    return s;
}

QString groupDigits(const QString &digits, const QLocale &locale)
{
    QString out;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += locale.groupSeparator();
        out += digits.at(i);
    }
    return out;
}

// The digits of |value| rounded half away from zero, with the integer part padded and the
// decimals trimmed as the section asks.
QString formatDigits(const MaskSection &s, double magnitude, const QLocale &locale)
{
    const double rounded = DecimalRounding::halfAwayFromZero(magnitude, s.maxDecimals);
    const QString fixed = QString::number(rounded, 'f', s.maxDecimals);
    const int point = fixed.indexOf(QLatin1Char('.'));
    QString integer = point < 0 ? fixed : fixed.left(point);
    QString decimals = point < 0 ? QString() : fixed.mid(point + 1);
    while (decimals.size() > s.minDecimals && decimals.endsWith(QLatin1Char('0')))
        decimals.chop(1);
    if (integer == QLatin1String("0") && s.minIntegerDigits == 0)
        integer.clear();
    while (integer.size() < s.minIntegerDigits)
        integer.prepend(QLatin1Char('0'));
    QString text = s.grouping ? groupDigits(integer, locale) : integer;
    if (!decimals.isEmpty())
        text += locale.decimalPoint() + decimals;
    return text;
}

} // namespace

QString DisplayFormatter::formatFloat(const QString &mask, double value, const QLocale &locale)
{
    if (std::isnan(value) || std::isinf(value))
        return locale.toString(value);
    if (mask.isEmpty())
        return locale.toString(value, 'g', 15);
    const QStringList sections = splitSections(mask);
    MaskSection section = readSection(sections.at(0));
    bool sign = value < 0;
    if (sign && sections.size() > 1 && !sections.at(1).isEmpty()) {
        section = readSection(sections.at(1));
        sign = false;  // the negative section carries its own sign
    }
    QString digits = section.hasDigits ? formatDigits(section, std::fabs(value), locale) : QString();
    const bool zero = DecimalRounding::halfAwayFromZero(value, section.maxDecimals) == 0.0;
    if (zero) {
        sign = false;
        if (sections.size() > 2 && !sections.at(2).isEmpty()) {
            section = readSection(sections.at(2));
            digits = section.hasDigits ? formatDigits(section, 0.0, locale) : QString();
        }
    }
    return (sign ? locale.negativeSign() : QString()) + section.prefix + digits + section.suffix;
}

QString DisplayFormatter::formatPrintf(const QString &format, double value, const QLocale &locale)
{
    static const QRegularExpression directive(QStringLiteral("%(-?)(\\d*)(?:\\.(\\d+))?([nfdeg])"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = directive.match(format);
    if (!m.hasMatch())
        return format;
    const QChar kind = m.captured(4).at(0).toLower();
    const int precision = m.captured(3).isEmpty() ? 2 : m.captured(3).toInt();
    QString text;
    if (kind == QLatin1Char('n') || kind == QLatin1Char('f')) {
        MaskSection s;
        s.hasDigits = true;
        s.minIntegerDigits = 1;
        s.minDecimals = s.maxDecimals = precision;
        s.grouping = kind == QLatin1Char('n');
        text = formatDigits(s, std::fabs(value), locale);
        if (value < 0 && DecimalRounding::halfAwayFromZero(value, precision) != 0.0)
            text.prepend(locale.negativeSign());
    } else if (kind == QLatin1Char('d')) {
        text = QString::number(qint64(value));
    } else {
        text = locale.toString(value, kind.toLatin1(), precision);
    }
    const int width = m.captured(2).toInt();
    text = m.captured(1).isEmpty() ? text.rightJustified(width) : text.leftJustified(width);
    return format.left(m.capturedStart()) + text + format.mid(m.capturedEnd());
}

QString DisplayFormatter::formatValue(const QString &mask, const QVariant &value, const QLocale &locale)
{
    if (!value.isValid() || value.isNull())
        return QString();
    if (fieldconv::isNumeric(value))
        return mask.isEmpty() ? locale.toString(value.toDouble(), 'g', 15) : formatFloat(mask, value.toDouble(), locale);
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        return value.toDate().toString(mask.isEmpty() ? QStringLiteral("dd/MM/yyyy") : mask);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(mask.isEmpty() ? QStringLiteral("dd/MM/yyyy hh:mm:ss") : mask);
    default:
        return value.toString();
    }
}

bool DisplayFormatter::parseNumber(const QString &text, double *value, const QLocale &locale)
{
    QString plain = text.trimmed();
    plain.remove(locale.groupSeparator());
    bool ok = false;
    const double parsed = locale.toDouble(plain, &ok);
    if (ok && value)
        *value = parsed;
    return ok;
}
