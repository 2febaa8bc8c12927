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

bool isBlank(QChar ch) { return ch.unicode() <= u' '; }

} // namespace

// The text is walked once: the remaining option text is always the stretch [from, end) of it, so
// cutting a token moves `from` instead of copying what is left (a megabyte of options is cut in
// milliseconds). The rules are the suite's, quirks included:
// - a token ends at a space, or at its last character when only blanks follow;
// - a double quote makes the token a quoted one: the first character of the remaining text is
//   dropped (the quote itself, unless the token had begun) and the item runs to the next quote;
//   without a closing quote the item is empty and cutting goes on after the dropped character;
// - only the space separates tokens; tabs and other blanks belong to a token except at its ends.
QStringList ParsearOpciones(QString text)
{
    QStringList items;
    const qsizetype size = text.size();
    qsizetype last = size - 1;   // the last character that is not blank
    while (last >= 0 && isBlank(text.at(last)))
        --last;
    const auto item = [&text](qsizetype from, qsizetype to) { return TrimBlanks(text.mid(from, to - from)); };
    const auto skipBlanks = [&text, last](qsizetype at) {
        while (at <= last && isBlank(text.at(at)))
            ++at;
        return at;
    };
    // Quotes are looked for from ever later places: a search reaches on from the last quote found,
    // and none found means none further on.
    qsizetype quote = 0;
    qsizetype searchedFrom = -1;
    const auto nextQuote = [&](qsizetype at) {
        if (searchedFrom < 0 || (quote >= 0 && quote < at)) {
            quote = text.indexOf(u'"', at);
            searchedFrom = at;
        }
        return quote;
    };

    qsizetype from = 0;   // the remaining text is [from, size); blanks at its start not yet skipped
    while (from <= last && skipBlanks(from) <= last) {
        qsizetype at = from;
        for (;; ++at) {
            const QChar ch = text.at(at);
            if (ch == u' ') {
                items.append(item(from, at));
                from = skipBlanks(at);
                break;
            }
            if (ch == u'"') {
                const qsizetype closing = nextQuote(from + 1);
                if (closing < 0) {
                    items.append(QString());
                    from = skipBlanks(from + 1);
                } else {
                    items.append(item(from + 1, closing));
                    from = skipBlanks(closing + 1);
                }
                break;
            }
            if (at >= last) {   // only blanks follow: the token is the rest
                items.append(item(from, at + 1));
                from = last + 1;
                break;
            }
        }
    }
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
