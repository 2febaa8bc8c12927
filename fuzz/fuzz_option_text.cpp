// The option text of the load call: the parser ends on any text, no item keeps at its ends what
// the suite trims (blanks and control characters; other Unicode spaces belong to the item), and
// it cuts exactly as the plain token-by-token reading of the rules below, which copies the rest of
// the text at every step and so takes quadratic time.

#include "fuzz/FuzzInput.h"
#include "framework/OptionText.h"

#include <cstdlib>

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


QStringList referenceParse(QString text)
{
    QStringList items;
    while (!TrimBlanks(text).isEmpty())
        text = cutOneToken(text, items);
    return items;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = fuzzText(data, size);
    if (TrimBlanks(text).isEmpty())
        return 0;
    const QStringList items = ParsearOpciones(text);
    for (const QString &item : items)
        if (item != TrimBlanks(item))
            std::abort();
    if (items != referenceParse(text))
        std::abort();
    UltimaCondicion(items);
    return 0;
}
