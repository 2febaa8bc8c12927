#pragma once
// How a run gets the text of a statement it sends beyond its datasets' own: by the statement's name
// in the data layer's catalogue, its slots ({name}) filled with the literal texts given. The data
// module hands it over with the datasets.

#include <QHash>
#include <QString>

#include <functional>

namespace engine {

using StatementTexts = std::function<QString(const QString &name, const QHash<QString, QString> &values)>;

} // namespace engine
