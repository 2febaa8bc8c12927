#include "GenerationInputs.h"

#include "Exceptions.h"
#include "FieldConvert.h"
#include "TParam.h"

#include <climits>

namespace engine {

QStringList separarLista(const QString &texto)
{
    QStringList items;
    QString current;
    for (const QChar c : texto) {
        if (c == QLatin1Char('\''))
            continue;
        if (c == QLatin1Char(',')) {
            items << current;
            current.clear();
        } else {
            current += c;
        }
    }
    items << current;
    return items;
}

QString categoryList(const Categories &categories)
{
    QString list;
    if (categories.eduFor)
        list += QStringLiteral("'EF',");
    if (categories.eduNo)
        list += QStringLiteral("'EN',");
    if (categories.expe)
        list += QStringLiteral("'EP',");
    if (categories.compe)
        list += QStringLiteral("'CO','CF','CE',");
    if (list.isEmpty())
        throw Exception(noCategoryMessage());
    // From the second character, without the last two: the outer quotes come from the statement.
    return list.mid(1, list.size() - 3);
}

int companyNumber(const QString &text)
{
    TParam param(QStringLiteral("COD_EMPR"));
    const qint64 number = fieldconv::toInteger(text, QStringLiteral("COD_EMPR"));
    param.setAsSmallInt(int(qBound(qint64(INT_MIN), number, qint64(INT_MAX))));
    return param.AsInteger();
}

} // namespace engine
