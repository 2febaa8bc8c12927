#include "appserver/ConditionReader.h"

namespace appserver {

namespace {

using Kind = SqlToken::Kind;

// Nesting beyond this is no condition a dialog writes.
constexpr int kDeepest = 16;

const QLatin1String kComparisons[] = {QLatin1String("="),  QLatin1String("<>"), QLatin1String("!="),
                                      QLatin1String("<"),  QLatin1String("<="), QLatin1String(">"),
                                      QLatin1String(">=")};

bool compare(double left, const QString &op, double right)
{
    if (op == QLatin1String("="))
        return left == right;
    if (op == QLatin1String("<>") || op == QLatin1String("!="))
        return left != right;
    if (op == QLatin1String("<"))
        return left < right;
    if (op == QLatin1String("<="))
        return left <= right;
    if (op == QLatin1String(">"))
        return left > right;
    return left >= right;
}

} // namespace

QString ConditionReader::read(const QList<SqlToken> &tokens, int from, int to, QString *sql, QVariantList *values)
{
    m_tokens = &tokens;
    m_at = from;
    m_end = to;
    m_values = values;
    m_depth = 0;
    QString error = disjunction(sql);
    if (error.isEmpty() && peek())
        error = unexpected();
    return error;
}

QString ConditionReader::unexpected() const
{
    const SqlToken *token = peek();
    if (!token)
        return QStringLiteral("la condición termina antes de tiempo");
    const QString shown = token->kind == Kind::String ? QLatin1Char('\'') + token->text + QLatin1Char('\'')
                          : token->kind == Kind::Param ? QLatin1Char(':') + token->text
                                                       : token->text;
    return QStringLiteral("la condición no admite \"%1\" en ese lugar").arg(shown);
}

bool ConditionReader::acceptWord(QLatin1String word)
{
    if (peek() && peek()->isWord(word)) {
        ++m_at;
        return true;
    }
    return false;
}

bool ConditionReader::acceptSymbol(QLatin1String symbol)
{
    if (peek() && peek()->isSymbol(symbol)) {
        ++m_at;
        return true;
    }
    return false;
}

QString ConditionReader::disjunction(QString *sql)
{
    QString error = conjunction(sql);
    while (error.isEmpty() && acceptWord(QLatin1String("OR"))) {
        *sql += QStringLiteral(" OR ");
        error = conjunction(sql);
    }
    return error;
}

QString ConditionReader::conjunction(QString *sql)
{
    QString error = term(sql);
    while (error.isEmpty() && acceptWord(QLatin1String("AND"))) {
        *sql += QStringLiteral(" AND ");
        error = term(sql);
    }
    return error;
}

QString ConditionReader::term(QString *sql)
{
    if (!acceptSymbol(QLatin1String("(")))
        return predicate(sql);
    if (++m_depth > kDeepest)
        return QStringLiteral("la condición tiene demasiados paréntesis");
    *sql += QLatin1Char('(');
    QString error = disjunction(sql);
    if (error.isEmpty() && !acceptSymbol(QLatin1String(")")))
        error = unexpected();
    *sql += QLatin1Char(')');
    --m_depth;
    return error;
}

QString ConditionReader::predicate(QString *sql)
{
    // A number compared with a number ("1=0", the probe for the columns) is decided here.
    const SqlToken *first = peek();
    if (first && (first->kind == Kind::Number || first->isSymbol(QLatin1String("-")))) {
        QVariant ignored;
        double left = 0, right = 0;
        bool leftNumber = false, rightNumber = false;
        QString error = value(&ignored, &left, &leftNumber);
        const SqlToken *op = peek();
        if (error.isEmpty() && !(op && op->kind == Kind::Symbol))
            error = unexpected();
        if (!error.isEmpty())
            return error;
        ++m_at;
        error = value(&ignored, &right, &rightNumber);
        if (error.isEmpty() && !(leftNumber && rightNumber))
            error = QStringLiteral("solo se comparan números con números");
        bool known = false;
        for (const QLatin1String comparison : kComparisons)
            known = known || op->text == comparison;
        if (error.isEmpty() && !known)
            error = QStringLiteral("la condición no admite el operador \"%1\"").arg(op->text);
        if (error.isEmpty())
            *sql += compare(left, op->text, right) ? QStringLiteral("1 = 1") : QStringLiteral("1 = 0");
        return error;
    }
    QString column;
    QString error = subject(&column);
    if (!error.isEmpty())
        return error;
    if (acceptWord(QLatin1String("IS"))) {
        const bool negated = acceptWord(QLatin1String("NOT"));
        if (!acceptWord(QLatin1String("NULL")))
            return unexpected();
        *sql += column + (negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
        return {};
    }
    QVariant bound;
    double number = 0;
    bool isNumber = false;
    if (acceptWord(QLatin1String("LIKE"))) {
        if (!peek() || peek()->kind != Kind::String)
            return unexpected();
        error = value(&bound, &number, &isNumber);
        *sql += column + QStringLiteral(" LIKE ") + bind(bound);
        if (error.isEmpty() && acceptWord(QLatin1String("ESCAPE"))) {
            if (!peek() || peek()->kind != Kind::String || peek()->text.size() != 1)
                return QStringLiteral("ESCAPE lleva un solo carácter entre comillas");
            error = value(&bound, &number, &isNumber);
            *sql += QStringLiteral(" ESCAPE ") + bind(bound);
        }
        return error;
    }
    const SqlToken *op = peek();
    bool known = false;
    for (const QLatin1String comparison : kComparisons)
        known = known || (op && op->isSymbol(comparison));
    if (!known)
        return unexpected();
    ++m_at;
    error = value(&bound, &number, &isNumber);
    *sql += column + QLatin1Char(' ') + (op->text == QLatin1String("!=") ? QStringLiteral("<>") : op->text)
            + QLatin1Char(' ') + bind(bound);
    return error;
}

QString ConditionReader::subject(QString *sql)
{
    const bool upper = peek() && peek()->isWord(QLatin1String("UPPER")) && m_at + 1 < m_end
                       && m_tokens->at(m_at + 1).isSymbol(QLatin1String("("));
    if (upper)
        m_at += 2;
    const SqlToken *name = peek();
    if (!name || name->kind != Kind::Word)
        return unexpected();
    QString spelled = name->text;
    ++m_at;
    if (acceptSymbol(QLatin1String("."))) {
        if (!peek() || peek()->kind != Kind::Word)
            return unexpected();
        spelled += QLatin1Char('.') + peek()->text;
        ++m_at;
    }
    const auto column = m_columns.constFind(spelled);
    if (column == m_columns.constEnd())
        return QStringLiteral("la consulta no tiene la columna %1 para buscar en ella").arg(spelled);
    if (upper && !acceptSymbol(QLatin1String(")")))
        return unexpected();
    *sql = upper ? QStringLiteral("UPPER(%1)").arg(column.value()) : column.value();
    return {};
}

QString ConditionReader::value(QVariant *bound, double *number, bool *isNumber)
{
    const SqlToken *token = peek();
    *isNumber = token && token->kind != Kind::String;
    if (!*isNumber) {
        if (!token)
            return unexpected();
        *bound = token->text;
        ++m_at;
        return {};
    }
    if (!SqlTokenizer::signedNumber(*m_tokens, &m_at, bound))
        return unexpected();
    *number = bound->toDouble();
    return {};
}

QString ConditionReader::bind(const QVariant &value)
{
    m_values->append(value);
    return QStringLiteral(":__C%1").arg(m_values->size());
}

} // namespace appserver
