#include "protocol/SqlMask.h"

namespace protocol {

namespace {

// Blanks statement[from, to) in masked.
void blank(QString &masked, int from, int to)
{
    for (int i = from; i < to && i < masked.size(); ++i)
        masked[i] = QLatin1Char(' ');
}

// PostgreSQL's identifier characters; "$" continues an identifier but does not start one.
bool isIdentStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_') || c.unicode() >= 0x80;
}

bool isIdentChar(QChar c)
{
    return isIdentStart(c) || c.isDigit() || c == QLatin1Char('$');
}

// End (one past) of a run quoted by `close`, opened at start; a doubled closing quote stays
// inside. With backslashEscapes a backslash takes the next character with it (E'...').
int quotedEnd(const QString &s, int start, QChar close, bool backslashEscapes = false)
{
    int i = start + 1;
    while (i < s.size()) {
        const QChar c = s.at(i);
        if (backslashEscapes && c == QLatin1Char('\\')) {
            i += 2;
            continue;
        }
        if (c == close) {
            if (i + 1 < s.size() && s.at(i + 1) == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return s.size();
}

int lineCommentEnd(const QString &s, int start)
{
    const int nl = s.indexOf(QLatin1Char('\n'), start);
    return nl < 0 ? s.size() : nl;
}

int blockCommentEnd(const QString &s, int start, bool nested)
{
    int depth = 0;
    int i = start;
    while (i + 1 < s.size()) {
        if (s.at(i) == QLatin1Char('/') && s.at(i + 1) == QLatin1Char('*')) {
            ++depth;
            i += 2;
        } else if (s.at(i) == QLatin1Char('*') && s.at(i + 1) == QLatin1Char('/')) {
            i += 2;
            if (--depth == 0 || !nested)
                return i;
        } else {
            ++i;
        }
    }
    return s.size();
}

// "$tag$" at start (tag empty or an identifier without "$"): its length, else 0.
int dollarTagLength(const QString &s, int start)
{
    int i = start + 1;
    if (i < s.size() && s.at(i) != QLatin1Char('$')) {
        if (!isIdentStart(s.at(i)))
            return 0;
        while (i < s.size() && isIdentChar(s.at(i)) && s.at(i) != QLatin1Char('$'))
            ++i;
    }
    return i < s.size() && s.at(i) == QLatin1Char('$') ? i - start + 1 : 0;
}

class Scanner {
public:
    Scanner(const QString &statement, SqlSyntax syntax)
        : s(statement), masked(statement), postgres(syntax == SqlSyntax::Postgres) {}

    QString run()
    {
        int i = 0;
        while (i < s.size())
            i = step(i);
        return masked;
    }

private:
    // Handles the token at i; returns where the next one starts.
    int step(int i)
    {
        const QChar c = s.at(i);
        const QChar next = i + 1 < s.size() ? s.at(i + 1) : QChar();
        if (c == QLatin1Char('-') && next == QLatin1Char('-'))
            return hide(i, lineCommentEnd(s, i));
        if (c == QLatin1Char('/') && next == QLatin1Char('*'))
            return hide(i, blockCommentEnd(s, i, postgres));
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            return hide(i, quotedEnd(s, i, c));
        if (postgres)
            return stepPostgres(i);
        if (c == QLatin1Char('`'))
            return hide(i, quotedEnd(s, i, c));
        if (c == QLatin1Char('['))
            return hide(i, quotedEnd(s, i, QLatin1Char(']')));
        return i + 1;
    }

    // Words are read whole, so that "$" inside an identifier and the E / U& prefixes are seen
    // as PostgreSQL sees them.
    int stepPostgres(int i)
    {
        const QChar c = s.at(i);
        if (c == QLatin1Char('$')) {
            const int tag = dollarTagLength(s, i);
            if (tag == 0)
                return i + 1; // "$1": a positional parameter
            const int close = s.indexOf(s.mid(i, tag), i + tag);
            return hide(i, close < 0 ? s.size() : close + tag);
        }
        if (c.isDigit()) {
            int end = i;
            while (end < s.size() && (s.at(end).isDigit() || s.at(end) == QLatin1Char('.')))
                ++end;
            return end;
        }
        if (!isIdentStart(c))
            return i + 1;
        int end = i;
        while (end < s.size() && isIdentChar(s.at(end)))
            ++end;
        const QString word = s.mid(i, end - i);
        const QChar after = end < s.size() ? s.at(end) : QChar();
        if (word.compare(QLatin1String("E"), Qt::CaseInsensitive) == 0 && after == QLatin1Char('\''))
            return hide(i, quotedEnd(s, end, after, true));
        // U&'...' and U&"..." follow the ordinary quoting rules once the prefix is read.
        if (word.compare(QLatin1String("U"), Qt::CaseInsensitive) == 0 && after == QLatin1Char('&')
            && end + 1 < s.size() && (s.at(end + 1) == QLatin1Char('\'') || s.at(end + 1) == QLatin1Char('"')))
            return hide(i, quotedEnd(s, end + 1, s.at(end + 1)));
        return end;
    }

    int hide(int from, int to)
    {
        blank(masked, from, to);
        return to;
    }

    const QString &s;
    QString masked;
    bool postgres;
};

} // namespace

QString SqlMask::codeOnly(const QString &statement, SqlSyntax syntax)
{
    return Scanner(statement, syntax).run();
}

} // namespace protocol
