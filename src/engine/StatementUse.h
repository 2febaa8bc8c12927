#pragma once
// How a run points a dataset at a statement of the data layer's catalogue: by the statement's
// name, with the values of its {slots} (a list of texts for a slot that takes several). The data
// module hands it over with the datasets; the engine writes no SQL, and what travels to the
// server is the name and the values.

#include <QString>
#include <QVariantMap>

#include <functional>

class SClientDataSet;

namespace engine {

using StatementUse = std::function<void(SClientDataSet &dataSet, const QString &name, const QVariantMap &slotValues)>;

} // namespace engine
