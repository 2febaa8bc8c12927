#include "tools/window/ScreenshotCommand.h"

#include "framework/Exceptions.h"
#include "tools/window/FormRoadOptions.h"
#include "ui/MainFormDriver.h"

#include <QTextStream>

namespace {

const QStringList kPages{QStringLiteral("ruta"), QStringLiteral("plan"), QStringLiteral("cargos"), QStringLiteral("mapa")};

void addScreenshotOptions(CommandLine &line)
{
    CommonOptions::addTo(line);
    addPlanNodeOptions(line);
    line.add({
        {QStringLiteral("page"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Página: ruta, plan, cargos o mapa (el mapa de sucesión del plan).")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "página")), QStringLiteral("plan")},
        {QStringLiteral("out"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Archivo PNG que se escribe.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
    });
}

} // namespace

int runScreenshotCommand(const QStringList &arguments)
{
    CommandLine line(arguments.value(0),
                     cliText(QT_TRANSLATE_NOOP("qacsemaf", "Abre la ventana principal en un nodo de un plan de carrera, "
                                                           "genera su semáforo y guarda una imagen de una página.")));
    addScreenshotOptions(line);
    try {
        line.parse(arguments);
        line.require(QStringLiteral("company"));
        const FormRoadOptions options = readFormRoadOptions(line, readPlanNode(line));
        const QString page = line.choice(QStringLiteral("page"), kPages);
        line.require(QStringLiteral("out"));
        line.requireFolderOf(QStringLiteral("out"));
        proveFormRoadSession(options);
        MainFormDriver driver(options.common.session());
        runFormRoad(driver, options);
        driver.savePage(page, line.value(QStringLiteral("out")));
        QTextStream(stdout) << line.value(QStringLiteral("out")) << '\n';
        return 0;
    } catch (const UsageError &error) {
        return reportUsageError(error, arguments.value(0));
    } catch (const Exception &error) {
        return reportFailure(error.Message());
    }
}
