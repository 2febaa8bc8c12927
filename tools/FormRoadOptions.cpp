#include "FormRoadOptions.h"

#include "MainFormDriver.h"
#include "TApplication.h"
#include "Ugnnorma.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace {

int numberOption(const QCommandLineParser &parser, const char *name)
{
    bool isNumber = false;
    const int value = parser.value(QLatin1String(name)).toInt(&isNumber);
    if (!isNumber)
        throw FormRoadUsageError(QStringLiteral("--%1: \"%2\" is not a number").arg(QLatin1String(name), parser.value(QLatin1String(name))));
    return value;
}

engine::Categories categoriesOf(const QString &list)
{
    engine::Categories categories;
    for (const QString &code : list.toUpper().split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts)) {
        if (code == QLatin1String("EF"))
            categories.eduFor = true;
        else if (code == QLatin1String("EN"))
            categories.eduNo = true;
        else if (code == QLatin1String("EP"))
            categories.expe = true;
        else if (code == QLatin1String("CO"))
            categories.compe = true;
        else
            throw FormRoadUsageError(QStringLiteral("--categories: unknown category \"%1\" (use EF, EN, EP, CO)").arg(code));
    }
    return categories;
}

} // namespace

void addFormRoadOptions(QCommandLineParser &parser)
{
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("db"), QStringLiteral("SQLite database file."), QStringLiteral("file")},
        {QStringLiteral("company"), QStringLiteral("Company chosen in the window."), QStringLiteral("n")},
        {QStringLiteral("plan"), QStringLiteral("Career plan."), QStringLiteral("m")},
        {QStringLiteral("node"), QStringLiteral("Node of the plan whose tree node is selected."), QStringLiteral("k")},
        {QStringLiteral("categories"), QStringLiteral("Requirement categories ticked: EF, EN, EP, CO."),
         QStringLiteral("list")},
        {QStringLiteral("user"), QStringLiteral("Application user."), QStringLiteral("user"), QStringLiteral("ADMIN")},
        {QStringLiteral("password"), QStringLiteral("The user's password."), QStringLiteral("password"),
         QStringLiteral("ADMIN")},
    });
}

FormRoadOptions readFormRoadOptions(QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.parse(arguments))
        throw FormRoadUsageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText();
        std::exit(0);
    }
    for (const char *required : {"db", "company", "plan", "node"})
        if (!parser.isSet(QLatin1String(required)))
            throw FormRoadUsageError(QStringLiteral("--%1 is required").arg(QLatin1String(required)));
    FormRoadOptions options;
    options.file = parser.value(QStringLiteral("db"));
    if (!QFile::exists(options.file))
        throw FormRoadUsageError(QStringLiteral("%1 does not exist").arg(options.file));
    options.company = numberOption(parser, "company");
    options.plan = numberOption(parser, "plan");
    options.node = numberOption(parser, "node");
    options.generate = parser.isSet(QStringLiteral("categories"));
    if (options.generate)
        options.categories = categoriesOf(parser.value(QStringLiteral("categories")));
    options.user = parser.value(QStringLiteral("user"));
    options.password = parser.value(QStringLiteral("password"));
    return options;
}

void startFormRoadSession(const FormRoadOptions &options)
{
    ResetSessionGlobals();
    gStProtocolo = QStringLiteral("local");
    gStAliasCnx = options.file;
    gStParUsu = options.user;
    gStParPas = options.password;
    gStParEmp = QString::number(options.company);
    TApplication::instance().Tag = options.company;
}

void runFormRoad(MainFormDriver &driver, const FormRoadOptions &options)
{
    driver.chooseCompany(options.company);
    driver.goToNode(options.plan, options.node);
    if (!options.generate)
        return;
    driver.tickCategories(options.categories);
    driver.pressGenerate();
}
