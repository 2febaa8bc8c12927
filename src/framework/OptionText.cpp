#include "framework/OptionText.h"

QString TrimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size() - 1;
    while (first <= last && text.at(first).unicode() <= u' ')
        ++first;
    while (last >= first && text.at(last).unicode() <= u' ')
        --last;
    return text.mid(first, last - first + 1);
}

namespace {

// A double quote at the start of a token: the text up to the next quote is one item. Without a
// closing quote the item is empty and the rest is cut into tokens as usual.
QString cutQuotedToken(QString &text, QStringList &items)
{
    text.remove(0, 1);
    const qsizetype closing = text.indexOf(u'"');
    items.append(TrimBlanks(text.left(qMax<qsizetype>(closing, 0))));
    return TrimBlanks(text.mid(closing + 1));
}

QString cutPlainToken(QString &text, const QString &token, QStringList &items)
{
    items.append(TrimBlanks(token));
    const qsizetype at = text.indexOf(token);
    if (at >= 0)
        text.remove(at, token.size());
    return TrimBlanks(text);
}

QString cutOneToken(QString text, QStringList &items)
{
    const QString whole = TrimBlanks(text);
    const QString characters = text;
    QString token;
    for (const QChar ch : characters) {
        if (ch != u' ' && ch != u'"')
            token.append(ch);
        if (ch == u' ' || TrimBlanks(token) == whole)
            return cutPlainToken(text, token, items);
        if (ch == u'"')
            return cutQuotedToken(text, items);
    }
    return QString(); // not reached: the token grows to the whole text
}

} // namespace

QStringList ParsearOpciones(QString text)
{
    QStringList items;
    while (!TrimBlanks(text).isEmpty())
        text = cutOneToken(text, items);
    return items;
}

QString UltimaCondicion(const QStringList &items)
{
    QString condition;
    for (const QString &item : items)
        if (item.toUpper().startsWith(QLatin1String("AND")))
            condition = item;
    return condition;
}
