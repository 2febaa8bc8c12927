#include "tools/window/GenerateOnFormCommand.h"

#include "framework/Exceptions.h"
#include "tools/window/FormRoadOptions.h"
#include "ui/MainFormDriver.h"
#include "tools/ResultPrinter.h"
#include "framework/dataset/TDataSet.h"

#include <QCommandLineParser>
#include <QTextStream>

int runGenerateOnFormCommand(const QStringList &arguments)
{
    QTextStream err(stderr);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Opens the main form on a plan node, ticks the categories, presses \"Generación Semaforo\" and prints "
        "the result table."));
    addFormRoadOptions(parser);
    parser.addOption({QStringLiteral("format"), QStringLiteral("Output: table, json or csv."), QStringLiteral("format"),
                      QStringLiteral("table")});
    try {
        const FormRoadOptions options = readFormRoadOptions(parser, arguments);
        const QString format = parser.value(QStringLiteral("format")).toLower();
        if (!QStringList{"table", "json", "csv"}.contains(format))
            throw UsageError(QStringLiteral("--format: use table, json or csv"));
        if (!options.common.categoriesGiven)
            throw UsageError(QStringLiteral("--categories is required"));
        startFormRoadSession(options);
        MainFormDriver driver;
        runFormRoad(driver, options);
        TDataSet &result = driver.result();
        result.AfterScroll = nullptr;   // printing walks the rows; the positions page is not shown
        QTextStream out(stdout);
        printGenerationResult(result, format, out);
        return 0;
    } catch (const UsageError &error) {
        err << "qacsemaf generate: " << error.message() << '\n';
        return 2;
    } catch (const Exception &error) {
        err << error.Message() << '\n';
        return 1;
    }
}
