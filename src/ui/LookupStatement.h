#pragma once
// Points a look-up button at a statement of the module's catalogue: the name and the slot
// values travel when the look-up runs, the lines stay on the button for a reader.

#include <QString>
#include <QVariantMap>

class TQPField;

void useStatement(TQPField &button, const QString &name, const QVariantMap &slotValues = {});
