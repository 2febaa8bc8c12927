#include "framework/widgets/QbeConditionBuilder.h"

#include "framework/Exceptions.h"

#include <QDate>
#include <QLocale>

using protocol::Condition;
using protocol::ConditionOperator;
using protocol::FieldType;

namespace {

ConditionOperator operatorOf(QbeOperator op)
{
    switch (op) {
    case QbeOperator::Distinto: return ConditionOperator::NotEqual;
    case QbeOperator::Menor: return ConditionOperator::Less;
    case QbeOperator::MenorIgual: return ConditionOperator::LessOrEqual;
    case QbeOperator::Mayor: return ConditionOperator::Greater;
    case QbeOperator::MayorIgual: return ConditionOperator::GreaterOrEqual;
    case QbeOperator::ComienzaCon: return ConditionOperator::StartsWith;
    case QbeOperator::Contiene: return ConditionOperator::Contains;
    default: return ConditionOperator::Equal;
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

} // namespace

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

QList<Condition> QbeConditionBuilder::conditions(const QList<QbeCriterion> &criteria) const
{
    QList<Condition> made;
    for (const QbeCriterion &c : criteria)
        made << condition(c);
    return made;
}

const QbeColumn &QbeConditionBuilder::columnInfo(const QString &field) const
{
    for (const QbeColumn &column : m_columns)
        if (column.name.compare(field.trimmed(), Qt::CaseInsensitive) == 0)
            return column;
    throw Exception(QStringLiteral("El campo %1 no pertenece a la consulta").arg(field));
}

Condition QbeConditionBuilder::condition(const QbeCriterion &criterion) const
{
    const QbeColumn &info = columnInfo(criterion.field);
    Condition made{info.name, operatorOf(criterion.op), {}, false};
    if (criterion.value.isEmpty()) {
        if (criterion.op == QbeOperator::Igual || criterion.op == QbeOperator::Distinto) {
            made.op = criterion.op == QbeOperator::Igual ? ConditionOperator::IsNull : ConditionOperator::IsNotNull;
            return made;
        }
        throw Exception(QStringLiteral("Falta el valor para el campo %1").arg(info.name));
    }
    if (isTextType(info.type)) {
        made.value = criterion.value;
        made.ignoreCase = upperCase;
        return made;
    }
    if (isLike(criterion.op))
        throw Exception(QStringLiteral("El operador \"%1\" solo se aplica a campos de texto (campo %2)")
                            .arg(operatorCaptions().at(int(criterion.op)), info.name));
    const QString text = criterion.value.trimmed();
    if (info.type == FieldType::DateTime) {
        const QDate day = QDate::fromString(text, dateFormat);
        if (!day.isValid())
            throw Exception(QStringLiteral("El valor \"%1\" no es una fecha con el formato %2")
                                .arg(criterion.value, dateFormat));
        made.value = day;
        return made;
    }
    bool ok = false;
    if (isInteger(info.type) || info.type == FieldType::Boolean) {
        made.value = QLocale::c().toLongLong(text, &ok);
    } else {
        double number = QLocale::c().toDouble(text, &ok);
        if (!ok)
            number = QLocale().toDouble(text, &ok);
        made.value = number;
    }
    if (!ok)
        throw Exception(QStringLiteral("El valor \"%1\" no es un número válido para el campo %2")
                            .arg(criterion.value, info.name));
    return made;
}
