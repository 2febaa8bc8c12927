#include "protocol/NamedParams.h"

#include "protocol/SqlMask.h"

namespace protocol {

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

NamedParams::NamedParams(const QString &statement, SqlSyntax syntax)
{
    const QString code = SqlMask::codeOnly(statement, syntax);
    int copied = 0;
    int i = 0;
    while (i < code.size()) {
        if (code.at(i) != QLatin1Char(':')) {
            ++i;
            continue;
        }
        if (i + 1 < code.size() && code.at(i + 1) == QLatin1Char(':')) {
            i += 2; // a cast, "value::type"
            continue;
        }
        if (i + 1 >= code.size() || !isNameStart(code.at(i + 1))) {
            ++i;
            continue;
        }
        int end = i + 1;
        while (end < code.size() && isNameChar(code.at(end)))
            ++end;
        m_positional += statement.mid(copied, i - copied);
        if (syntax == SqlSyntax::Postgres)
            m_positional += QLatin1Char('$') + QString::number(m_markers.size() + 1);
        else
            m_positional += QLatin1Char('?');
        m_markers << statement.mid(i + 1, end - i - 1);
        copied = end;
        i = end;
    }
    m_positional += statement.mid(copied);
}

QStringList NamedParams::distinctNames() const
{
    QStringList names;
    for (const QString &name : m_markers) {
        if (!names.contains(name, Qt::CaseInsensitive))
            names << name;
    }
    return names;
}

} // namespace protocol
