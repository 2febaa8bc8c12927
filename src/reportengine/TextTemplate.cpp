#include "reportengine/TextTemplate.h"

#include "framework/dataset/FieldConvert.h"

#include "framework/DisplayFormatter.h"
#include "framework/FormatSettings.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace report {

std::optional<TextTemplate> TextTemplate::parse(const QString &text, QString *error)
{
    TextTemplate result;
    int position = 0;
    while (position < text.size()) {
        const int open = text.indexOf(QLatin1Char('['), position);
        if (open < 0) {
            result.m_parts << Part{text.mid(position), std::nullopt};
            break;
        }
        if (open > position)
            result.m_parts << Part{text.mid(position, open - position), std::nullopt};
        const int close = text.indexOf(QLatin1Char(']'), open);
        if (close < 0) {
            if (error)
                *error = QStringLiteral("\"[\" without \"]\" in \"%1\"").arg(text);
            return std::nullopt;
        }
        const QString inner = text.mid(open + 1, close - open - 1);
        const auto expression = expressionOf(inner);
        if (!expression) {
            if (error)
                *error = QStringLiteral("unknown expression [%1]").arg(inner);
            return std::nullopt;
        }
        result.m_parts << Part{QString(), expression};
        position = close + 1;
    }
    return result;
}

std::optional<Expression> TextTemplate::expressionOf(const QString &text)
{
    static const QRegularExpression field(QStringLiteral("^\\s*(\\w+)\\.\"([^\"]+)\"\\s*$"));
    static const QRegularExpression count(QStringLiteral("^\\s*COUNT\\(\\s*(\\w+)\\s*\\)\\s*$"));
    static const QRegularExpression variable(QStringLiteral("^\\s*(\\w+)\\s*$"));
    const QString trimmed = text.trimmed();
    if (trimmed == QLatin1String("PAGE#"))
        return Expression{Expression::Page, {}, {}};
    if (trimmed == QLatin1String("DATE"))
        return Expression{Expression::Date, {}, {}};
    if (trimmed == QLatin1String("TIME"))
        return Expression{Expression::Time, {}, {}};
    if (const auto match = field.match(text); match.hasMatch())
        return Expression{Expression::Field, match.captured(1), match.captured(2)};
    if (const auto match = count.match(text); match.hasMatch())
        return Expression{Expression::Count, {}, match.captured(1)};
    if (const auto match = variable.match(text); match.hasMatch())
        return Expression{Expression::Variable, {}, match.captured(1)};
    return std::nullopt;
}

bool TextTemplate::isConstant() const
{
    for (const Part &part : m_parts)
        if (part.expression)
            return false;
    return true;
}

TextTemplate::Result TextTemplate::evaluate(const Evaluator &evaluator, const QString &format) const
{
    Result result;
    int expressions = 0;
    QVariant single;
    for (const Part &part : m_parts) {
        if (!part.expression) {
            result.text += part.literal;
            (expressions == 0 ? result.prefix : result.suffix) += part.literal;
            continue;
        }
        ++expressions;
        const QVariant value = evaluator(*part.expression);
        single = value;
        result.text += formatReportValue(value, format);
    }
    const int type = single.typeId();
    if (expressions == 1 && fieldconv::isNumeric(single)) {
        result.number = single;
    } else if (expressions == 1 && !single.isNull()
               && (type == QMetaType::QDate || type == QMetaType::QTime || type == QMetaType::QDateTime)) {
        result.dateTime = single;
    } else {
        result.prefix.clear();
        result.suffix.clear();
    }
    return result;
}

QString formatReportValue(const QVariant &value, const QString &format)
{
    if (value.isNull() || !value.isValid())
        return QString();
    if (fieldconv::isNumeric(value)) {
        if (format.startsWith(QLatin1Char('%')))
            return DisplayFormatter::formatPrintf(format, value.toDouble());
        // Without a format a number prints plain: an identity number is no amount to group.
        QLocale plain;
        plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
        return DisplayFormatter::formatValue(format, value, format.isEmpty() ? plain : QLocale());
    }
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(FormatSettings::ShortDateFormat());
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(FormatSettings::ShortDateFormat() + QStringLiteral(" HH:mm:ss"));
    default:
        return value.toString();
    }
}

} // namespace report
