#include "protocol/CommaText.h"

namespace protocol {

namespace {

bool isSeparator(QChar c)
{
    return c == QLatin1Char(',') || c.isSpace();
}

// Reads a quoted item starting at the opening quote; returns the position after it.
int readQuoted(const QString &text, int i, QString *item)
{
    ++i;
    while (i < text.size()) {
        if (text.at(i) == QLatin1Char('"')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"')) {
                *item += QLatin1Char('"');
                i += 2;
                continue;
            }
            return i + 1;
        }
        *item += text.at(i++);
    }
    return i;
}

bool needsQuotes(const QString &item)
{
    if (item.isEmpty())
        return true;
    for (const QChar c : item)
        if (isSeparator(c) || c == QLatin1Char('"') || c.unicode() < 32)
            return true;
    return false;
}

} // namespace

QStringList CommaText::split(const QString &text)
{
    QStringList items;
    int i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    while (i < text.size()) {
        QString item;
        if (text.at(i) == QLatin1Char('"')) {
            i = readQuoted(text, i, &item);
        } else {
            while (i < text.size() && !isSeparator(text.at(i)))
                item += text.at(i++);
        }
        items << item;
        while (i < text.size() && text.at(i).isSpace())
            ++i;
        if (i < text.size() && text.at(i) == QLatin1Char(',')) {
            ++i;
            while (i < text.size() && text.at(i).isSpace())
                ++i;
            if (i == text.size())
                items << QString(); // a trailing comma ends with an empty item
        }
    }
    return items;
}

QString CommaText::join(const QStringList &items)
{
    QStringList quoted;
    for (const QString &item : items) {
        if (!needsQuotes(item)) {
            quoted << item;
            continue;
        }
        QString escaped = item;
        escaped.replace(QLatin1String("\""), QLatin1String("\"\""));
        quoted << QLatin1Char('"') + escaped + QLatin1Char('"');
    }
    return quoted.join(QLatin1Char(','));
}

} // namespace protocol
