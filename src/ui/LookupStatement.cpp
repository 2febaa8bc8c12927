#include "ui/LookupStatement.h"

#include "data/StatementCatalog.h"
#include "framework/widgets/TQPField.h"

void useStatement(TQPField &button, const QString &name, const QVariantMap &slotValues)
{
    button.Statement = name;
    button.Slots = slotValues;
    button.SQL = StatementCatalog::module().text(name, slotValues).split(QLatin1Char('\n'));
}
