#include "protocol/SqlTokenizer.h"

namespace protocol {

namespace {

bool startsName(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool continuesName(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isDecimalDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

class Reader {
public:
    Reader(const QString &text, SqlSyntax syntax, QList<SqlToken> *tokens, SqlTokenizer::Options options)
        : m_text(text), m_syntax(syntax), m_tokens(tokens), m_options(options)
    {
    }

    QString run()
    {
        while (m_pos < m_text.size()) {
            const QString error = next();
            if (!error.isEmpty())
                return error;
        }
        return {};
    }

private:
    QChar at(int pos) const { return pos < m_text.size() ? m_text.at(pos) : QChar(); }

    QString refused(const QString &what) const
    {
        return QStringLiteral("La sentencia no se puede leer: %1 (posición %2).").arg(what).arg(m_pos + 1);
    }

    void add(SqlToken::Kind kind, QString text, int start)
    {
        m_tokens->append({kind, std::move(text), start, m_pos});
    }

    QString next()
    {
        const QChar c = m_text.at(m_pos);
        if (c.isSpace()) {
            ++m_pos;
            return {};
        }
        if (c == QLatin1Char('-') && at(m_pos + 1) == QLatin1Char('-')) {
            while (m_pos < m_text.size() && m_text.at(m_pos) != QLatin1Char('\n'))
                ++m_pos;
            return {};
        }
        if (c == QLatin1Char('/') && at(m_pos + 1) == QLatin1Char('*'))
            return blockComment();
        if (c == QLatin1Char('\''))
            return quoted(SqlToken::Kind::String);
        if (c == QLatin1Char('"') && m_options.testFlag(SqlTokenizer::ReadQuotedNames))
            return quoted(SqlToken::Kind::QuotedName);
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('['))
            return refused(QStringLiteral("los nombres entre comillas o corchetes no se admiten"));
        if (isDecimalDigit(c) || (c == QLatin1Char('.') && isDecimalDigit(at(m_pos + 1))))
            return number();
        if (startsName(c))
            return word();
        if (c == QLatin1Char(':') && startsName(at(m_pos + 1)))
            return param();
        if (m_options.testFlag(SqlTokenizer::ReadSlots) && c == QLatin1Char('{'))
            return slot();
        return symbol();
    }

    // PostgreSQL nests block comments; SQLite ends one at the first "*/".
    QString blockComment()
    {
        int depth = 0;
        while (m_pos < m_text.size()) {
            if (m_text.at(m_pos) == QLatin1Char('/') && at(m_pos + 1) == QLatin1Char('*')
                && (depth == 0 || m_syntax == SqlSyntax::Postgres)) {
                ++depth;
                m_pos += 2;
            } else if (m_text.at(m_pos) == QLatin1Char('*') && at(m_pos + 1) == QLatin1Char('/')) {
                m_pos += 2;
                if (--depth == 0)
                    return {};
            } else {
                ++m_pos;
            }
        }
        return refused(QStringLiteral("un comentario no se cierra"));
    }

    // A string ('...') or a quoted name ("..."); a doubled quote stays inside.
    QString quoted(SqlToken::Kind kind)
    {
        // A letter right before the quote makes another kind of literal (escape, national,
        // blob, bit string, Unicode name) on one engine or the other.
        if (!m_tokens->isEmpty() && m_tokens->constLast().end == m_pos
            && m_tokens->constLast().kind == SqlToken::Kind::Word)
            return refused(QStringLiteral("los literales con prefijo no se admiten"));
        const QChar quote = m_text.at(m_pos);
        const int start = m_pos++;
        QString content;
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos++);
            if (c != quote) {
                content += c;
            } else if (at(m_pos) == quote) {
                content += c;
                ++m_pos;
            } else {
                add(kind, content, start);
                return {};
            }
        }
        m_pos = start;
        return refused(kind == SqlToken::Kind::String ? QStringLiteral("un texto entre comillas no se cierra")
                                                      : QStringLiteral("un nombre entre comillas no se cierra"));
    }

    QString number()
    {
        const int start = m_pos;
        while (isDecimalDigit(at(m_pos)))
            ++m_pos;
        if (at(m_pos) == QLatin1Char('.')) {
            ++m_pos;
            while (isDecimalDigit(at(m_pos)))
                ++m_pos;
        }
        if ((at(m_pos) == QLatin1Char('e') || at(m_pos) == QLatin1Char('E'))
            && (isDecimalDigit(at(m_pos + 1))
                || ((at(m_pos + 1) == QLatin1Char('+') || at(m_pos + 1) == QLatin1Char('-'))
                    && isDecimalDigit(at(m_pos + 2))))) {
            m_pos += 2;
            while (isDecimalDigit(at(m_pos)))
                ++m_pos;
        }
        if (continuesName(at(m_pos)) || at(m_pos) == QLatin1Char('.'))
            return refused(QStringLiteral("un número está mal escrito"));
        add(SqlToken::Kind::Number, m_text.mid(start, m_pos - start), start);
        return {};
    }

    QString word()
    {
        const int start = m_pos;
        while (continuesName(at(m_pos)))
            ++m_pos;
        if (at(m_pos) == QLatin1Char('$'))
            return refused(QStringLiteral("el carácter \"$\" no se admite"));
        add(SqlToken::Kind::Word, m_text.mid(start, m_pos - start).toUpper(), start);
        return {};
    }

    QString param()
    {
        const int start = m_pos++;
        while (continuesName(at(m_pos)))
            ++m_pos;
        add(SqlToken::Kind::Param, m_text.mid(start + 1, m_pos - start - 1).toUpper(), start);
        return {};
    }

    QString slot()
    {
        const int start = m_pos;
        const int close = m_text.indexOf(QLatin1Char('}'), m_pos);
        if (close < 0)
            return refused(QStringLiteral("un hueco \"{\" no se cierra"));
        m_pos = close + 1;
        add(SqlToken::Kind::Slot, m_text.mid(start + 1, close - start - 1).trimmed(), start);
        return {};
    }

    QString symbol()
    {
        static const QLatin1String pairs[] = {QLatin1String("<="), QLatin1String(">="), QLatin1String("<>"),
                                              QLatin1String("!="), QLatin1String("||"), QLatin1String("::")};
        const int start = m_pos;
        for (const QLatin1String pair : pairs) {
            if (QStringView(m_text).mid(m_pos, 2) == pair) {
                m_pos += 2;
                add(SqlToken::Kind::Symbol, pair, start);
                return {};
            }
        }
        static const QString singles = QStringLiteral("(),.=<>*+-/;%");
        const QChar c = m_text.at(m_pos);
        if (!singles.contains(c))
            return refused(QStringLiteral("el carácter \"%1\" no se admite").arg(c));
        ++m_pos;
        add(SqlToken::Kind::Symbol, QString(c), start);
        return {};
    }

    const QString &m_text;
    const SqlSyntax m_syntax;
    QList<SqlToken> *m_tokens;
    const SqlTokenizer::Options m_options;
    int m_pos = 0;
};

} // namespace

QString SqlTokenizer::tokenize(const QString &text, SqlSyntax syntax, QList<SqlToken> *tokens, Options options)
{
    tokens->clear();
    return Reader(text, syntax, tokens, options).run();
}

bool SqlTokenizer::signedNumber(const QList<SqlToken> &tokens, int *at, QVariant *value)
{
    const bool negative = *at < tokens.size() && tokens.at(*at).isSymbol(QLatin1String("-"));
    const int index = *at + (negative ? 1 : 0);
    if (index >= tokens.size() || tokens.at(index).kind != SqlToken::Kind::Number)
        return false;
    bool ok = false;
    const qlonglong whole = tokens.at(index).text.toLongLong(&ok);
    if (ok) {
        *value = negative ? -whole : whole;
    } else {
        const double number = tokens.at(index).text.toDouble(&ok);
        if (!ok)
            return false;
        *value = negative ? -number : number;
    }
    *at = index + 1;
    return true;
}

} // namespace protocol
