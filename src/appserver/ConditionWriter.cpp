#include "appserver/ConditionWriter.h"

#include "appserver/SqlDialect.h"

#include <QDate>

namespace appserver {

namespace {

const char *comparison(ConditionOperator op)
{
    switch (op) {
    case ConditionOperator::Equal: return " = ";
    case ConditionOperator::NotEqual: return " <> ";
    case ConditionOperator::Less: return " < ";
    case ConditionOperator::LessOrEqual: return " <= ";
    case ConditionOperator::Greater: return " > ";
    case ConditionOperator::GreaterOrEqual: return " >= ";
    default: return nullptr;
    }
}

QString likeEscaped(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    text.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return text;
}

} // namespace

QString ConditionWriter::write(const QList<Condition> &conditions, QString *sql, QVariantList *values) const
{
    QStringList parts;
    for (const Condition &condition : conditions) {
        QString part;
        if (const QString refused = one(condition, &part, values); !refused.isEmpty())
            return refused;
        parts << part;
    }
    *sql = parts.join(QStringLiteral(" AND "));
    return {};
}

QString ConditionWriter::marker(const QVariant &value, QVariantList *values) const
{
    values->append(value);
    return QStringLiteral(":__C%1").arg(values->size());
}

QString ConditionWriter::one(const Condition &condition, QString *sql, QVariantList *values) const
{
    if (condition.op == ConditionOperator::NoRow) {
        *sql = QStringLiteral("1 = 0");
        return {};
    }
    const QString name = condition.column.trimmed().toUpper();
    const auto found = m_columns.constFind(name);
    if (found == m_columns.constEnd())
        return QStringLiteral("no se puede buscar por la columna \"%1\"").arg(condition.column);
    const SearchableColumn &column = found.value();
    if (condition.op == ConditionOperator::IsNull || condition.op == ConditionOperator::IsNotNull) {
        *sql = column.spelled + (condition.op == ConditionOperator::IsNull ? QStringLiteral(" IS NULL")
                                                                          : QStringLiteral(" IS NOT NULL"));
        return {};
    }
    const bool like = condition.op == ConditionOperator::StartsWith || condition.op == ConditionOperator::Contains;
    const bool text = column.kind == ValueKind::Text;
    if (like && !text)
        return QStringLiteral("\"comienza con\" y \"contiene\" solo se aplican a columnas de texto (%1)")
            .arg(condition.column);
    QVariant value;
    QString why;
    if (!toCatalogValue(condition.value, column.kind, &value, &why) || value.isNull())
        return QStringLiteral("el valor de la condición sobre %1 no sirve: %2")
            .arg(condition.column, why.isEmpty() ? QStringLiteral("falta el valor") : why);
    if (text) {
        const bool upper = condition.ignoreCase;
        const QString subject = upper ? QStringLiteral("UPPER(%1)").arg(column.spelled) : column.spelled;
        QString typed = value.toString();
        if (upper)
            typed = typed.toUpper();
        if (like) {
            const QString pattern = (condition.op == ConditionOperator::Contains ? QStringLiteral("%") : QString())
                                    + likeEscaped(typed) + QLatin1Char('%');
            *sql = subject + QStringLiteral(" LIKE ") + marker(pattern, values) + QStringLiteral(" ESCAPE '\\'");
        } else {
            *sql = subject + QLatin1String(comparison(condition.op)) + marker(typed, values);
        }
        return {};
    }
    if (column.kind == ValueKind::Date) {
        // A date stands for its whole day, so rows that carry a time of day still match.
        const QDate day = value.toDate();
        QVariant from;
        QVariant next;
        m_dialect.toDatabase(day, FieldType::DateTime, true, &from);
        m_dialect.toDatabase(day.addDays(1), FieldType::DateTime, true, &next);
        const QString &c = column.spelled;
        switch (condition.op) {
        case ConditionOperator::NotEqual: {
            const QString a = marker(from, values);
            *sql = QStringLiteral("(%1 < %2 OR %1 >= %3)").arg(c, a, marker(next, values));
            break;
        }
        case ConditionOperator::Less: *sql = c + QStringLiteral(" < ") + marker(from, values); break;
        case ConditionOperator::LessOrEqual: *sql = c + QStringLiteral(" < ") + marker(next, values); break;
        case ConditionOperator::Greater: *sql = c + QStringLiteral(" >= ") + marker(next, values); break;
        case ConditionOperator::GreaterOrEqual: *sql = c + QStringLiteral(" >= ") + marker(from, values); break;
        default: {
            const QString a = marker(from, values);
            *sql = QStringLiteral("(%1 >= %2 AND %1 < %3)").arg(c, a, marker(next, values));
        }
        }
        return {};
    }
    *sql = column.spelled + QLatin1String(comparison(condition.op)) + marker(value, values);
    return {};
}

} // namespace appserver
