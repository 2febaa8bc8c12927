#include "engine/GenerationInputs.h"

#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"

#include <climits>

namespace engine {

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
    // Read as a 16-bit parameter reads it: a whole number, refused outside that range.
    const QString what = QStringLiteral("COD_EMPR");
    const qint64 number = fieldconv::toInteger(text, what);
    return fieldconv::toStorage(int(qBound(qint64(INT_MIN), number, qint64(INT_MAX))), protocol::FieldType::Smallint, 0,
                                what)
        .toInt();
}

void checkGenerationInputs(const GenerationInputs &inputs)
{
    categoryCodes(inputs.categories);
    if (inputs.candidates.isEmpty() && !inputs.endsAfterCandidates)
        throw Exception(noPositionMessage());
}

GenerationInputs inputsFromCodes(const QString &cargoAspira, const QString &empreAspira, const QStringList &positions,
                                 const QStringList &companies, const Categories &categories, bool eduSinPuntos,
                                 BadCandidate badCandidate)
{
    GenerationInputs inputs;
    inputs.categories = categories;
    inputs.eduSinPuntos = eduSinPuntos;
    categoryCodes(categories);
    if (positions.isEmpty())
        throw Exception(noPositionMessage());
    inputs.target = {cargoAspira, companyNumber(empreAspira)};
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
