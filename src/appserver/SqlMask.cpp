#include "SqlMask.h"

namespace appserver {

namespace {

// Blanks statement[from, to) in masked.
void blank(QString &masked, int from, int to)
{
    for (int i = from; i < to && i < masked.size(); ++i)
        masked[i] = QLatin1Char(' ');
}

// End (one past) of a quoted run starting at start; a doubled quote stays inside.
int quotedEnd(const QString &s, int start)
{
    const QChar quote = s.at(start);
    int i = start + 1;
    while (i < s.size()) {
        if (s.at(i) == quote) {
            if (i + 1 < s.size() && s.at(i + 1) == quote) {
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

int blockCommentEnd(const QString &s, int start)
{
    const int end = s.indexOf(QLatin1String("*/"), start + 2);
    return end < 0 ? s.size() : end + 2;
}

} // namespace

QString SqlMask::codeOnly(const QString &statement)
{
    QString masked = statement;
    int i = 0;
    while (i < statement.size()) {
        const QChar c = statement.at(i);
        const QChar next = i + 1 < statement.size() ? statement.at(i + 1) : QChar();
        int end = -1;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            end = quotedEnd(statement, i);
        else if (c == QLatin1Char('-') && next == QLatin1Char('-'))
            end = lineCommentEnd(statement, i);
        else if (c == QLatin1Char('/') && next == QLatin1Char('*'))
            end = blockCommentEnd(statement, i);
        if (end < 0) {
            ++i;
            continue;
        }
        blank(masked, i, end);
        i = end;
    }
    return masked;
}

} // namespace appserver
