#include "framework/dataset/FilterExpression.h"

#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"

#include <QList>

struct FilterExpression::Node {
    enum Kind { And, Or, Not, Compare, IsNull } kind = Compare;
    QString op;                               // Compare: = <> < > <= >=
    std::shared_ptr<const Node> left, right;  // And, Or, Not (left only)
    int leftField = -1, rightField = -1;      // Compare, IsNull: field slots, -1 for a literal
    QVariant leftValue, rightValue;
    bool negate = false;                      // IsNull: "is not null"
};

namespace {

struct Token {
    enum Kind { Name, Number, Text, Op, LParen, RParen, End } kind = End;
    QString text;
    QVariant value;
    int position = 0;
};

QList<Token> tokenize(const QString &s)
{
    QList<Token> tokens;
    int i = 0;
    // Positions count from 1 and name where the faulty token starts.
    auto error = [&](const QString &what, int at) {
        throw EDatabaseError(QStringLiteral("Filtro no válido \"%1\": %2 en la posición %3")
                                 .arg(s, what).arg(at + 1));
    };
    while (i < s.size()) {
        const QChar c = s.at(i);
        const int start = i;
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            tokens.append({c == QLatin1Char('(') ? Token::LParen : Token::RParen, c, {}, start});
            ++i;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            QString text;
            for (++i;; ++i) {
                if (i >= s.size())
                    error(QStringLiteral("texto sin cerrar"), start);
                if (s.at(i) == c) {
                    if (i + 1 < s.size() && s.at(i + 1) == c) { text += c; ++i; continue; }
                    ++i;
                    break;
                }
                text += s.at(i);
            }
            tokens.append({Token::Text, text, text, start});
        } else if (c.isDigit() || (c == QLatin1Char('-') && i + 1 < s.size() && s.at(i + 1).isDigit())
                   || (c == QLatin1Char('.') && i + 1 < s.size() && s.at(i + 1).isDigit())) {
            ++i;
            while (i < s.size() && (s.at(i).isDigit() || s.at(i) == QLatin1Char('.')))
                ++i;
            const QString text = s.mid(start, i - start);
            bool ok = false;
            const double d = text.toDouble(&ok);
            if (!ok)
                error(QStringLiteral("número \"%1\" no válido").arg(text), start);
            tokens.append({Token::Number, text, d, start});
        } else if (c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('[')) {
            const bool bracketed = c == QLatin1Char('[');
            if (bracketed) {
                const int close = s.indexOf(QLatin1Char(']'), i);
                if (close < 0)
                    error(QStringLiteral("nombre sin cerrar"), i);
                i = close + 1;
                tokens.append({Token::Name, s.mid(start + 1, close - start - 1), QStringLiteral("[]"), start});
                continue;
            }
            while (i < s.size() && (s.at(i).isLetterOrNumber() || s.at(i) == QLatin1Char('_')))
                ++i;
            tokens.append({Token::Name, s.mid(start, i - start), {}, start});
        } else if (QStringLiteral("<>=!").contains(c)) {
            ++i;
            if (i < s.size() && (s.at(i) == QLatin1Char('=') || (c == QLatin1Char('<') && s.at(i) == QLatin1Char('>'))))
                ++i;
            QString op = s.mid(start, i - start);
            if (op == QLatin1String("!="))
                op = QStringLiteral("<>");
            if (op == QLatin1String("=="))
                op = QStringLiteral("=");
            if (op == QLatin1String("!"))
                error(QStringLiteral("operador \"!\" no válido"), start);
            tokens.append({Token::Op, op, {}, start});
        } else {
            error(QStringLiteral("carácter \"%1\" inesperado").arg(c), start);
        }
    }
    tokens.append({Token::End, QString(), {}, int(s.size())});
    return tokens;
}

} // namespace

// Recursive descent: or-expression > and-expression > not > comparison or parenthesis.
class FilterParser {
public:
    explicit FilterParser(const QString &text) : m_text(text), m_tokens(tokenize(text)) {}

    FilterExpression run()
    {
        FilterExpression expression;
        expression.m_root = orExpr();
        if (peek().kind != Token::End)
            fail(QStringLiteral("\"%1\" sobra").arg(peek().text));
        expression.m_fieldNames = m_names;
        return expression;
    }

private:
    using NodePtr = std::shared_ptr<const FilterExpression::Node>;
    using Node = FilterExpression::Node;

    const Token &peek() const { return m_tokens.at(m_pos); }
    // The End token is never passed: a parser that asks for more keeps getting it.
    Token take()
    {
        const Token token = m_tokens.at(m_pos);
        if (token.kind != Token::End)
            ++m_pos;
        return token;
    }
    bool isKeyword(const char *word) const
    {
        return peek().kind == Token::Name && peek().value.isNull()
               && peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }

    [[noreturn]] void fail(const QString &what) const
    {
        throw EDatabaseError(QStringLiteral("Filtro no válido \"%1\": %2 en la posición %3")
                                 .arg(m_text, what).arg(peek().position + 1));
    }

    NodePtr binary(Node::Kind kind, NodePtr left, NodePtr right)
    {
        auto node = std::make_shared<Node>();
        node->kind = kind;
        node->left = std::move(left);
        node->right = std::move(right);
        return node;
    }

    NodePtr orExpr()
    {
        NodePtr node = andExpr();
        while (isKeyword("or")) {
            take();
            node = binary(Node::Or, node, andExpr());
        }
        return node;
    }

    NodePtr andExpr()
    {
        NodePtr node = notExpr();
        while (isKeyword("and")) {
            take();
            node = binary(Node::And, node, notExpr());
        }
        return node;
    }

    NodePtr notExpr()
    {
        if (isKeyword("not")) {
            take();
            return binary(Node::Not, notExpr(), nullptr);
        }
        if (peek().kind == Token::LParen) {
            take();
            NodePtr inner = orExpr();
            if (peek().kind != Token::RParen)
                fail(QStringLiteral("falta \")\""));
            take();
            return inner;
        }
        return comparison();
    }

    // Reads a field name or a literal into (slot, value).
    void operand(int &slot, QVariant &value)
    {
        if (peek().kind != Token::Number && peek().kind != Token::Text && peek().kind != Token::Name)
            fail(QStringLiteral("se esperaba un campo o un valor"));
        const Token token = take();
        if (token.kind == Token::Number || token.kind == Token::Text) {
            value = token.value;
            return;
        }
        int index = -1;
        for (int i = 0; i < m_names.size() && index < 0; ++i)
            if (m_names.at(i).compare(token.text, Qt::CaseInsensitive) == 0)
                index = i;
        if (index < 0) {
            index = m_names.size();
            m_names.append(token.text);
        }
        slot = index;
    }

    NodePtr comparison()
    {
        auto node = std::make_shared<Node>();
        operand(node->leftField, node->leftValue);
        if (isKeyword("is")) {
            take();
            node->kind = Node::IsNull;
            if (isKeyword("not")) {
                take();
                node->negate = true;
            }
            if (!isKeyword("null"))
                fail(QStringLiteral("se esperaba NULL"));
            take();
            return node;
        }
        if (peek().kind != Token::Op)
            fail(QStringLiteral("se esperaba un operador de comparación"));
        node->op = take().text;
        operand(node->rightField, node->rightValue);
        return node;
    }

    QString m_text;
    QList<Token> m_tokens;
    int m_pos = 0;
    QStringList m_names;
};

FilterExpression FilterExpression::parse(const QString &text)
{
    if (text.trimmed().isEmpty())
        return {};
    return FilterParser(text).run();
}

namespace {

bool evaluateNode(const FilterExpression::Node &node, const std::function<QVariant(int)> &value)
{
    using Node = FilterExpression::Node;
    switch (node.kind) {
    case Node::And:
        return evaluateNode(*node.left, value) && evaluateNode(*node.right, value);
    case Node::Or:
        return evaluateNode(*node.left, value) || evaluateNode(*node.right, value);
    case Node::Not:
        return !evaluateNode(*node.left, value);
    case Node::IsNull: {
        const QVariant v = node.leftField >= 0 ? value(node.leftField) : node.leftValue;
        return v.isNull() != node.negate;
    }
    case Node::Compare:
        break;
    }
    const QVariant a = node.leftField >= 0 ? value(node.leftField) : node.leftValue;
    const QVariant b = node.rightField >= 0 ? value(node.rightField) : node.rightValue;
    if (a.isNull() || b.isNull())
        return false;
    const int c = fieldconv::compare(a, b);
    if (node.op == QLatin1String("="))
        return c == 0;
    if (node.op == QLatin1String("<>"))
        return c != 0;
    if (node.op == QLatin1String("<"))
        return c < 0;
    if (node.op == QLatin1String(">"))
        return c > 0;
    if (node.op == QLatin1String("<="))
        return c <= 0;
    return c >= 0;
}

} // namespace

bool FilterExpression::evaluate(const std::function<QVariant(int)> &fieldValue) const
{
    return !m_root || evaluateNode(*m_root, fieldValue);
}
