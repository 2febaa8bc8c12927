#include "appserver/OrderByClause.h"

#include <QRegularExpression>
#include <algorithm>

namespace appserver {

namespace {

// Blanks out quoted text and the insides of parentheses, so only top-level words remain.
QString topLevel(const QString &statement)
{
    QString masked = statement;
    QChar quote;
    int depth = 0;
    for (int i = 0; i < masked.size(); ++i) {
        const QChar c = masked.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            masked[i] = QLatin1Char(' ');
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            masked[i] = QLatin1Char(' ');
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
            masked[i] = QLatin1Char(' ');
        } else if (depth > 0) {
            masked[i] = QLatin1Char(' ');
        }
    }
    return masked;
}

// Nulls first, then numbers by value, then everything else as text by code point.
int compareValues(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return int(b.isNull()) - int(a.isNull());
    // The types a column usually holds on both sides, without converting: every adjacent pair
    // of a large answer is compared.
    const int type = a.metaType().id();
    if (type == b.metaType().id()) {
        if (type == QMetaType::QString)
            return static_cast<const QString *>(a.constData())->compare(*static_cast<const QString *>(b.constData()));
        if (type == QMetaType::Int) {
            const int x = *static_cast<const int *>(a.constData()), y = *static_cast<const int *>(b.constData());
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        if (type == QMetaType::Double) {
            const double x = *static_cast<const double *>(a.constData()), y = *static_cast<const double *>(b.constData());
            if (x < y || x > y || x == y)
                return x < y ? -1 : (x > y ? 1 : 0);
        }
    }
    bool numberA = false, numberB = false;
    const double x = a.toDouble(&numberA), y = b.toDouble(&numberB);
    const int typeA = a.metaType().id(), typeB = b.metaType().id();
    const bool textual = typeA == QMetaType::QString || typeB == QMetaType::QString;
    if (!textual && numberA && numberB)
        return x < y ? -1 : (x > y ? 1 : 0);
    if (typeA == QMetaType::QByteArray || typeB == QMetaType::QByteArray)
        return a.toByteArray().compare(b.toByteArray());
    return a.toString().compare(b.toString());
}

} // namespace

OrderByClause::OrderByClause(const QString &statement)
{
    static const QRegularExpression orderBy(QStringLiteral("\\border\\s+by\\b"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression term(QStringLiteral("^\\s*(?:[A-Za-z_][\\w$]*\\.)?([A-Za-z_][\\w$]*|\\d+)\\s*(asc|desc)?\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QString masked = topLevel(statement);
    int at = -1;
    for (auto it = orderBy.globalMatch(masked); it.hasNext();)
        at = it.next().capturedEnd();
    if (at < 0)
        return;
    // The clause must run to the end: no LIMIT, no parenthesis, nothing but column terms.
    QString rest = statement.mid(at);
    while (rest.endsWith(QLatin1Char(';')) || (!rest.isEmpty() && rest.back().isSpace()))
        rest.chop(1);
    if (masked.mid(at).contains(QLatin1Char(')')) || rest.contains(QLatin1Char('\'')) || rest.contains(QLatin1Char('"')))
        return;
    QList<Term> terms;
    for (const QString &text : rest.split(QLatin1Char(','))) {
        const QRegularExpressionMatch match = term.match(text);
        if (!match.hasMatch())
            return;
        Term t;
        bool number = false;
        t.position = match.captured(1).toInt(&number);
        if (!number)
            t.column = match.captured(1);
        t.descending = match.captured(2).compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
        terms << t;
    }
    m_start = at;
    m_terms = terms;
}

QString OrderByClause::withNullsSmallest(const QString &statement) const
{
    if (!isPlain())
        return statement;
    QStringList original = statement.mid(m_start).split(QLatin1Char(','));
    for (int i = 0; i < original.size() && i < m_terms.size(); ++i) {
        QString text = original.at(i).trimmed();
        while (text.endsWith(QLatin1Char(';')))
            text.chop(1);
        static const QRegularExpression direction(QStringLiteral("\\s+(asc|desc)\\s*$"), QRegularExpression::CaseInsensitiveOption);
        text.remove(direction);
        original[i] = QStringLiteral(" %1 %2").arg(text, m_terms.at(i).descending ? QStringLiteral("DESC NULLS LAST")
                                                                                   : QStringLiteral("ASC NULLS FIRST"));
    }
    return statement.left(m_start) + original.join(QLatin1Char(','));
}

QList<int> OrderByClause::tieKeys(const QList<FieldDesc> &fields) const
{
    QList<int> keys;
    if (!isPlain())
        return keys;
    for (const Term &t : m_terms) {
        const int index = t.column.isEmpty() ? t.position - 1 : indexOfField(fields, t.column);
        if (index < 0 || index >= fields.size())
            return {};   // ordered by something the rows do not show: nothing to compare ties on
        keys << index;
    }
    return keys;
}

void OrderByClause::settleTies(const QList<FieldDesc> &fields, QList<QVariantList> *rows) const
{
    if (rows->size() < 2)
        return;
    const QList<int> keys = tieKeys(fields);
    if (keys.isEmpty())
        return;
    const auto sameKeys = [&](const QVariantList &a, const QVariantList &b) {
        return std::all_of(keys.cbegin(), keys.cend(), [&](int k) { return compareValues(a.at(k), b.at(k)) == 0; });
    };
    const auto byAllColumns = [](const QVariantList &a, const QVariantList &b) {
        for (int i = 0; i < a.size(); ++i)
            if (const int c = compareValues(a.at(i), b.at(i)); c != 0)
                return c < 0;
        return false;
    };
    for (auto run = rows->begin(); run != rows->end();) {
        auto end = run + 1;
        while (end != rows->end() && sameKeys(*run, *end))
            ++end;
        if (end - run > 1)
            std::stable_sort(run, end, byAllColumns);
        run = end;
    }
}

} // namespace appserver
