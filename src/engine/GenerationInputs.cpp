#include "engine/GenerationInputs.h"

#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"
#include "framework/dataset/TParam.h"

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

QStringList categoryCodes(const Categories &categories)
{
    QStringList codes;
    if (categories.eduFor)
        codes << QStringLiteral("EF");
    if (categories.eduNo)
        codes << QStringLiteral("EN");
    if (categories.expe)
        codes << QStringLiteral("EP");
    if (categories.compe)
        codes << QStringLiteral("CO") << QStringLiteral("CF") << QStringLiteral("CE");
    if (codes.isEmpty())
        throw Exception(noCategoryMessage());
    return codes;
}

int companyNumber(const QString &text)
{
    TParam param(QStringLiteral("COD_EMPR"));
    const qint64 number = fieldconv::toInteger(text, QStringLiteral("COD_EMPR"));
    param.setAsSmallInt(int(qBound(qint64(INT_MIN), number, qint64(INT_MAX))));
    return param.AsInteger();
}

void checkGenerationInputs(const GenerationInputs &inputs)
{
    categoryCodes(inputs.categories);
    if (inputs.candidates.isEmpty() && !inputs.endsAfterCandidates)
        throw Exception(noPositionMessage());
}

GenerationInputs inputsFromTreeLists(const QString &cargoAspira, const QString &empreAspira,
                                     const QString &cargoActual, const QString &empCaActual,
                                     const Categories &categories, bool eduSinPuntos, BadCandidate badCandidate)
{
    GenerationInputs inputs;
    inputs.categories = categories;
    inputs.eduSinPuntos = eduSinPuntos;
    categoryCodes(categories);
    if (cargoActual.trimmed().isEmpty())
        throw Exception(noPositionMessage());
    inputs.target = {cargoAspira, companyNumber(empreAspira)};
    const QStringList positions = separarLista(cargoActual);
    const QStringList companies = separarLista(empCaActual);
    inputs.candidates.reserve(positions.size());
    for (int i = 0; i < positions.size(); ++i) {
        try {
            if (i >= companies.size())
                throw Exception(QStringLiteral("List index out of bounds (%1)").arg(i));
            inputs.candidates.append({positions.at(i), companyNumber(companies.at(i))});
        } catch (const Exception &) {
            if (badCandidate == BadCandidate::Refuses)
                throw;
            inputs.endsAfterCandidates = std::current_exception();
            break;
        }
    }
    return inputs;
}

} // namespace engine
