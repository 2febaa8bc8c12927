#include "SqlParams.h"

namespace {

bool startsName(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool continuesName(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Index just past the quoted text that opens at `start` (a doubled quote stays inside).
int skipQuoted(const QString &sql, int start)
{
    const QChar quote = sql.at(start);
    int i = start + 1;
    while (i < sql.size()) {
        if (sql.at(i) == quote) {
            if (i + 1 < sql.size() && sql.at(i + 1) == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

int nameEnd(const QString &sql, int start)
{
    int i = start;
    while (i < sql.size() && continuesName(sql.at(i)))
        ++i;
    return i;
}

} // namespace

QList<SqlParamToken> SqlParams::tokens(const QString &sql)
{
    QList<SqlParamToken> found;
    int i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            i = skipQuoted(sql, i);
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() && sql.at(i + 1) == QLatin1Char(':')) {
            i = nameEnd(sql, i + 2); // "x::int" is a cast, and so is the type name after it
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() && startsName(sql.at(i + 1))) {
            const int end = nameEnd(sql, i + 1);
            found.append({sql.mid(i + 1, end - i - 1), i, end - i});
            i = end;
        } else {
            ++i;
        }
    }
    return found;
}

QStringList SqlParams::names(const QString &sql)
{
    QStringList distinct;
    for (const SqlParamToken &token : tokens(sql))
        if (!distinct.contains(token.name, Qt::CaseInsensitive))
            distinct.append(token.name);
    return distinct;
}
