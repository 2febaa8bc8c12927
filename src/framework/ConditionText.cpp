#include "framework/ConditionText.h"

#include "framework/Exceptions.h"
#include "protocol/SqlTokenizer.h"

using protocol::Condition;
using protocol::ConditionOperator;
using protocol::SqlToken;
using protocol::SqlTokenizer;

namespace {

class Reader {
public:
    Reader(const QString &text, const QList<SqlToken> &tokens) : m_text(text), m_tokens(tokens) {}

    QList<Condition> read()
    {
        QList<Condition> conditions;
        if (peekWord("WHERE") || peekWord("AND"))
            ++m_at;
        do
            conditions << term();
        while (acceptWord("AND"));
        if (m_at < m_tokens.size())
            refuse();
        return conditions;
    }

private:
    Condition term()
    {
        // "1=0": a condition no row meets.
        int at = m_at;
        QVariant left;
        if (SqlTokenizer::signedNumber(m_tokens, &at, &left)) {
            m_at = at;
            const ConditionOperator op = comparison();
            QVariant right;
            if (op != ConditionOperator::Equal || !SqlTokenizer::signedNumber(m_tokens, &m_at, &right)
                || left.toDouble() == right.toDouble())
                refuse();
            return Condition{{}, ConditionOperator::NoRow, {}, false};
        }
        Condition condition;
        condition.column = column();
        if (acceptWord("IS")) {
            const bool negated = acceptWord("NOT");
            if (!acceptWord("NULL"))
                refuse();
            condition.op = negated ? ConditionOperator::IsNotNull : ConditionOperator::IsNull;
            return condition;
        }
        condition.op = comparison();
        if (m_at < m_tokens.size() && m_tokens.at(m_at).kind == SqlToken::Kind::String)
            condition.value = m_tokens.at(m_at++).text;
        else if (!SqlTokenizer::signedNumber(m_tokens, &m_at, &condition.value))
            refuse();
        return condition;
    }

    QString column()
    {
        if (m_at >= m_tokens.size() || m_tokens.at(m_at).kind != SqlToken::Kind::Word)
            refuse();
        QString name = m_tokens.at(m_at++).text;
        if (m_at + 1 < m_tokens.size() && m_tokens.at(m_at).isSymbol(QLatin1String("."))
            && m_tokens.at(m_at + 1).kind == SqlToken::Kind::Word) {
            name = m_tokens.at(m_at + 1).text;   // the table's alias is the statement's business
            m_at += 2;
        }
        return name;
    }

    ConditionOperator comparison()
    {
        static const QList<QPair<QLatin1String, ConditionOperator>> symbols{
            {QLatin1String("="), ConditionOperator::Equal},         {QLatin1String("<>"), ConditionOperator::NotEqual},
            {QLatin1String("!="), ConditionOperator::NotEqual},     {QLatin1String("<="), ConditionOperator::LessOrEqual},
            {QLatin1String(">="), ConditionOperator::GreaterOrEqual}, {QLatin1String("<"), ConditionOperator::Less},
            {QLatin1String(">"), ConditionOperator::Greater}};
        if (m_at < m_tokens.size())
            for (const auto &[symbol, op] : symbols)
                if (m_tokens.at(m_at).isSymbol(symbol)) {
                    ++m_at;
                    return op;
                }
        refuse();
    }

    bool peekWord(const char *word) const
    {
        return m_at < m_tokens.size() && m_tokens.at(m_at).isWord(QLatin1String(word));
    }
    bool acceptWord(const char *word)
    {
        if (!peekWord(word))
            return false;
        ++m_at;
        return true;
    }

    [[noreturn]] void refuse() const
    {
        throw Exception(QStringLiteral("La condición \"%1\" no se puede usar: se admiten comparaciones de una columna "
                                       "con un número o un texto, unidas por AND.")
                            .arg(m_text.simplified()));
    }

    const QString &m_text;
    const QList<SqlToken> &m_tokens;
    int m_at = 0;
};

} // namespace

QList<Condition> ConditionText::parse(const QString &text)
{
    if (text.trimmed().isEmpty())
        return {};
    QList<SqlToken> tokens;
    if (const QString unreadable = SqlTokenizer::tokenize(text, protocol::SqlSyntax::Sqlite, &tokens);
        !unreadable.isEmpty())
        throw Exception(QStringLiteral("No se puede usar la condición \"%1\": %2").arg(text.simplified(), unreadable));
    return Reader(text, tokens).read();
}
