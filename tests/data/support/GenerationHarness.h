#pragma once
// One workstation for the engine's tests and benchmark, with a headless main form.

#include "data/HeadlessMainForm.h"
#include "data/HeadlessWorkstation.h"
#include "engine/TrafficLightGeneration.h"
#include "tests/data/support/LiteralScorer.h"

#include <QStringList>

// Every row of a table, one text per row with every value at full precision.
inline QStringList rowTexts(TDataSet &table)
{
    QStringList rows;
    for (int row = 0; row < table.rowCount(); ++row) {
        QStringList values;
        for (TField *field : table.Fields()) {
            const QVariant value = table.rowValue(row, field);
            values << (value.isNull() ? QStringLiteral("null")
                       : value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'g', 17)
                                                             : value.toString());
        }
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

// The categories named by their codes ("EF,EN,EP,CO").
inline engine::Categories categoriesOf(const QString &codes)
{
    return {codes.contains(QLatin1String("EF")), codes.contains(QLatin1String("EN")),
            codes.contains(QLatin1String("EP")), codes.contains(QLatin1String("CO"))};
}

// Batched as real runs score, BatchedInGroups a few positions' holders at a time, Literal step by step.
enum class Arrangement { Batched, BatchedInGroups, Literal };

class GenerationHarness : public HeadlessWorkstation {
public:
    explicit GenerationHarness(const Session &session) : HeadlessWorkstation(session) { module.Forma = &form; }

    engine::GenerationDataSets dataSets() { return module.DatosGeneracion(); }

    // A whole run with the given arrangement; the round trips it took.
    qint64 run(const engine::GenerationInputs &inputs, Arrangement arrangement)
    {
        const qint64 before = connection.roundTrips();
        engine::TrafficLightGeneration(dataSets(), TDtmAcSemaf::FormateadorSuite(),
                                       arrangement == Arrangement::Literal           ? LiteralScorer::factory()
                                       : arrangement == Arrangement::BatchedInGroups ? engine::batchedScorers(4)
                                                                                     : engine::batchedScorers())
            .regenerate(inputs, [this](TDataSet *dataSet) { module.CdsAcSemafAfterScroll(dataSet); });
        return connection.roundTrips() - before;
    }

    // The result table in its order, one text per row with every value at full precision.
    QStringList resultRows() { return rowTexts(module.CdsAcSemaf); }

    HeadlessMainForm form;
};
