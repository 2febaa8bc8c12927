#include "tools/window/ScreenshotCommand.h"

#include "framework/Exceptions.h"
#include "tools/window/FormRoadOptions.h"
#include "ui/MainFormDriver.h"

#include <QCommandLineParser>
#include <QTextStream>

int runScreenshotCommand(const QStringList &arguments)
{
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Opens the main form on a plan node, generates its traffic light and saves a picture of one page."));
    addFormRoadOptions(parser);
    parser.addOptions({
        {QStringLiteral("page"), QStringLiteral("Page: ruta, plan or cargos."), QStringLiteral("page"),
         QStringLiteral("plan")},
        {QStringLiteral("out"), QStringLiteral("PNG file to write."), QStringLiteral("file")},
    });
    try {
        const FormRoadOptions options = readFormRoadOptions(parser, arguments);
        if (!parser.isSet(QStringLiteral("out")))
            throw UsageError(QStringLiteral("--out is required"));
        startFormRoadSession(options);
        MainFormDriver driver;
        runFormRoad(driver, options);
        driver.savePage(parser.value(QStringLiteral("page")), parser.value(QStringLiteral("out")));
        QTextStream(stdout) << parser.value(QStringLiteral("out")) << '\n';
        return 0;
    } catch (const UsageError &error) {
        err << arguments.value(0) << ": " << error.message() << "\n";
        return 2;
    } catch (const Exception &error) {
        err << arguments.value(0) << ": " << error.Message() << "\n";
        return 1;
    }
}
