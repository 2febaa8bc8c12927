#pragma once
// The text of a view: literal text and [expressions]. Understood expressions:
// [Dataset."FIELD"], [PAGE#], [DATE], [TIME], [COUNT(BandName)] and [name] for a report
// variable, whose value the report asks its owner for.

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace report {

struct Expression {
    enum Kind { Field, Variable, Page, Date, Time, Count };
    Kind kind = Variable;
    QString dataSet;   // Field
    QString name;      // field, variable or band name
};

class TextTemplate {
public:
    struct Part {
        QString literal;                   // used when expression is empty
        std::optional<Expression> expression;
    };
    using Evaluator = std::function<QVariant(const Expression &)>;

    // The parts of `text`; no value and an error text when an expression does not read.
    static std::optional<TextTemplate> parse(const QString &text, QString *error = nullptr);

    const QList<Part> &parts() const { return m_parts; }
    bool isConstant() const;

    // The text with every expression replaced by its value in `format`. When the text holds a
    // single expression whose value is a number, `number` receives it and `prefix`/`suffix`
    // the literal text around it (so that exports can keep it a number); a single date or time
    // goes to `dateTime` the same way.
    struct Result {
        QString text;
        QVariant number;
        QVariant dateTime;
        QString prefix;
        QString suffix;
    };
    Result evaluate(const Evaluator &evaluator, const QString &format) const;

private:
    static std::optional<Expression> expressionOf(const QString &text);
    QList<Part> m_parts;
};

// A value as a report prints it: numbers through `format` ("%2.2n", "%2.2f" or a number mask;
// empty for the default), dates and times in the workstation's short formats, null as nothing.
QString formatReportValue(const QVariant &value, const QString &format);
bool isNumber(const QVariant &value);

} // namespace report
