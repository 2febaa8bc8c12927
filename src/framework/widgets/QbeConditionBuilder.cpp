#include "framework/widgets/QbeConditionBuilder.h"

#include "framework/Exceptions.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

using protocol::FieldType;

namespace {

QString quoted(const QString &text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

// LIKE wildcards typed by the user are taken literally.
QString likeEscaped(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    escaped.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    escaped.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return escaped;
}

const char *comparison(QbeOperator op)
{
    switch (op) {
    case QbeOperator::Distinto: return " <> ";
    case QbeOperator::Menor: return " < ";
    case QbeOperator::MenorIgual: return " <= ";
    case QbeOperator::Mayor: return " > ";
    case QbeOperator::MayorIgual: return " >= ";
    default: return " = ";
    }
}

bool isLike(QbeOperator op)
{
    return op == QbeOperator::ComienzaCon || op == QbeOperator::Contiene;
}

bool isInteger(FieldType type)
{
    return type == FieldType::Smallint || type == FieldType::Integer || type == FieldType::Largeint;
}

// The items of the select list at parenthesis depth 0, and where the list ends.
QStringList selectItems(const QString &sql)
{
    static const QRegularExpression selectWord(QStringLiteral("\\bselect\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch start = selectWord.match(sql);
    if (!start.hasMatch())
        return {};
    QStringList items;
    QString current;
    int depth = 0;
    bool inQuote = false;
    for (int i = start.capturedEnd(); i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\''))
            inQuote = !inQuote;
        if (!inQuote && depth == 0 && c.isSpace()) {
            const QString rest = sql.mid(i + 1, 5);
            if (rest.startsWith(QLatin1String("from"), Qt::CaseInsensitive)
                && (rest.size() == 4 || (!rest.at(4).isLetterOrNumber() && rest.at(4) != QLatin1Char('_'))))
                break;
        }
        if (!inQuote && c == QLatin1Char('('))
            ++depth;
        else if (!inQuote && c == QLatin1Char(')'))
            --depth;
        if (!inQuote && depth == 0 && c == QLatin1Char(',')) {
            items << current.trimmed();
            current.clear();
        } else {
            current += c;
        }
    }
    items << current.trimmed();
    return items;
}

} // namespace

QbeConditionBuilder::QbeConditionBuilder(const QList<QbeColumn> &columns, const QString &baseSql)
    : m_columns(columns), m_expressions(selectExpressions(baseSql))
{
}

QStringList QbeConditionBuilder::operatorCaptions()
{
    return {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral("<"), QStringLiteral("<="),
            QStringLiteral(">"), QStringLiteral(">="), QStringLiteral("Comienza con"),
            QStringLiteral("Contiene")};
}

bool QbeConditionBuilder::isTextType(FieldType type)
{
    return type == FieldType::String || type == FieldType::FixedChar || type == FieldType::Unknown;
}

QHash<QString, QString> QbeConditionBuilder::selectExpressions(const QString &sql)
{
    static const QRegularExpression distinct(QStringLiteral("^distinct\\s+"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression aliased(QStringLiteral("^(.*[^\\s.|+\\-*/=<>(])\\s+(?:as\\s+)?([A-Za-z_][A-Za-z0-9_]*)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression qualified(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*\\.([A-Za-z_][A-Za-z0-9_]*)$"));
    QHash<QString, QString> expressions;
    const QStringList items = selectItems(sql);
    for (int i = 0; i < items.size(); ++i) {
        QString item = items.at(i);
        if (i == 0)
            item.remove(distinct);
        const QRegularExpressionMatch alias = aliased.match(item);
        const QRegularExpressionMatch qual = qualified.match(item);
        if (alias.hasMatch())
            expressions.insert(alias.captured(2).toUpper(), alias.captured(1).trimmed());
        else if (qual.hasMatch())
            expressions.insert(qual.captured(1).toUpper(), item);
    }
    return expressions;
}

QString QbeConditionBuilder::condition(const QList<QbeCriterion> &criteria) const
{
    QStringList parts;
    for (const QbeCriterion &c : criteria)
        parts << criterion(c);
    return parts.join(QStringLiteral(" AND "));
}

const QbeColumn &QbeConditionBuilder::columnInfo(const QString &field) const
{
    for (const QbeColumn &column : m_columns)
        if (column.name.compare(field.trimmed(), Qt::CaseInsensitive) == 0)
            return column;
    throw Exception(QStringLiteral("El campo %1 no pertenece a la consulta").arg(field));
}

QString QbeConditionBuilder::criterion(const QbeCriterion &criterion) const
{
    const QbeColumn &info = columnInfo(criterion.field);
    const QString column = m_expressions.value(info.name.toUpper(), info.name);
    if (criterion.value.isEmpty()) {
        if (criterion.op == QbeOperator::Igual)
            return column + QStringLiteral(" IS NULL");
        if (criterion.op == QbeOperator::Distinto)
            return column + QStringLiteral(" IS NOT NULL");
        throw Exception(QStringLiteral("Falta el valor para el campo %1").arg(info.name));
    }
    if (isTextType(info.type))
        return textCriterion(column, criterion);
    if (isLike(criterion.op))
        throw Exception(QStringLiteral("El operador \"%1\" solo se aplica a campos de texto (campo %2)")
                            .arg(operatorCaptions().at(int(criterion.op)), info.name));
    if (info.type == FieldType::DateTime)
        return dateCriterion(column, criterion);
    return numberCriterion(column, info, criterion);
}

QString QbeConditionBuilder::textCriterion(const QString &column, const QbeCriterion &criterion) const
{
    const QString subject = upperCase ? QStringLiteral("UPPER(%1)").arg(column) : column;
    const QString value = upperCase ? criterion.value.toUpper() : criterion.value;
    if (criterion.op == QbeOperator::ComienzaCon)
        return subject + QStringLiteral(" LIKE ") + quoted(likeEscaped(value) + QLatin1Char('%'))
               + QStringLiteral(" ESCAPE '\\'");
    if (criterion.op == QbeOperator::Contiene)
        return subject + QStringLiteral(" LIKE ")
               + quoted(QLatin1Char('%') + likeEscaped(value) + QLatin1Char('%')) + QStringLiteral(" ESCAPE '\\'");
    return subject + QLatin1String(comparison(criterion.op)) + quoted(value);
}

QString QbeConditionBuilder::numberCriterion(const QString &column, const QbeColumn &info,
                                             const QbeCriterion &criterion) const
{
    const QString text = criterion.value.trimmed();
    bool ok = false;
    QString literal;
    if (isInteger(info.type) || info.type == FieldType::Boolean) {
        literal = QString::number(QLocale::c().toLongLong(text, &ok));
    } else {
        double number = QLocale::c().toDouble(text, &ok);
        if (!ok)
            number = QLocale().toDouble(text, &ok);
        literal = QString::number(number, 'g', 17);
    }
    if (!ok)
        throw Exception(QStringLiteral("El valor \"%1\" no es un número válido para el campo %2")
                            .arg(criterion.value, info.name));
    return column + QLatin1String(comparison(criterion.op)) + literal;
}

// A date stands for its whole day, so rows that carry a time of day still match.
QString QbeConditionBuilder::dateCriterion(const QString &column, const QbeCriterion &criterion) const
{
    const QDate day = QDate::fromString(criterion.value.trimmed(), dateFormat);
    if (!day.isValid())
        throw Exception(QStringLiteral("El valor \"%1\" no es una fecha con el formato %2")
                            .arg(criterion.value, dateFormat));
    const QString from = quoted(day.toString(Qt::ISODate));
    const QString next = quoted(day.addDays(1).toString(Qt::ISODate));
    switch (criterion.op) {
    case QbeOperator::Distinto:
        return QStringLiteral("(%1 < %2 OR %1 >= %3)").arg(column, from, next);
    case QbeOperator::Menor: return column + QStringLiteral(" < ") + from;
    case QbeOperator::MenorIgual: return column + QStringLiteral(" < ") + next;
    case QbeOperator::Mayor: return column + QStringLiteral(" >= ") + next;
    case QbeOperator::MayorIgual: return column + QStringLiteral(" >= ") + from;
    default: return QStringLiteral("(%1 >= %2 AND %1 < %3)").arg(column, from, next);
    }
}
