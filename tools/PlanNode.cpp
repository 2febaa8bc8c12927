#include "tools/PlanNode.h"

void addPlanNodeOptions(CommandLine &line)
{
    line.add({
        {QStringLiteral("plan"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Plan de carrera.")), QStringLiteral("m")},
        {QStringLiteral("node"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Nodo del plan que se selecciona en el árbol de la ventana.")),
         QStringLiteral("k")},
    });
}

bool givesPlanNode(const CommandLine &line)
{
    return line.isSet(QStringLiteral("plan")) || line.isSet(QStringLiteral("node"));
}

PlanNode readPlanNode(const CommandLine &line, const QStringList &excluded)
{
    for (const QString &other : excluded) {
        line.refuseTogether(QStringLiteral("plan"), other);
        line.refuseTogether(QStringLiteral("node"), other);
    }
    line.require(QStringLiteral("plan"));
    line.require(QStringLiteral("node"));
    return {line.number(QStringLiteral("plan")), line.number(QStringLiteral("node"))};
}
