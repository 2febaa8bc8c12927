#include "GenerateCommand.h"

#include "DAcSemaf.h"
#include "DatabaseDescription.h"
#include "HeadlessWorkstation.h"
#include "ResultPrinter.h"
#include "Exceptions.h"
#include "SDCOMConnection.h"
#include "TApplication.h"
#include "Ugnnorma.h"

#include <QCommandLineParser>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>

namespace {

struct PrintOptions {
    GenerateOptions run;
    QString format;   // table, json, csv
};

// "CODE@COMPANY" into its two parts.
QPair<QString, QString> positionAt(const QString &text, const QString &option)
{
    const int at = text.lastIndexOf(QLatin1Char('@'));
    bool isNumber = false;
    if (at > 0)
        text.mid(at + 1).toInt(&isNumber);
    if (!isNumber)
        throw UsageError(QStringLiteral("--%1: \"%2\" is not CODE@COMPANY").arg(option, text));
    return {text.left(at), text.mid(at + 1)};
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
            throw UsageError(QStringLiteral("--categories: unknown category \"%1\" (use EF, EN, EP, CO)").arg(code));
    }
    return categories;
}

// Exactly one of --db FILE, --pg "conninfo" and --server host:port says where the data are.
void readDatabaseOptions(const QCommandLineParser &parser, GenerateOptions *options)
{
    const int given = int(parser.isSet(QStringLiteral("db"))) + int(parser.isSet(QStringLiteral("pg")))
                      + int(parser.isSet(QStringLiteral("server")));
    if (given != 1)
        throw UsageError(QStringLiteral("give one of --db FILE, --pg \"conninfo\" or --server host:port"));
    if (parser.isSet(QStringLiteral("server"))) {
        options->protocol = QStringLiteral("http");
        options->server = parser.value(QStringLiteral("server"));
        return;
    }
    if (parser.isSet(QStringLiteral("pg"))) {
        appserver::DatabaseDescription pg;
        QString error;
        if (!appserver::DatabaseDescription::fromKeywords(parser.value(QStringLiteral("pg")), &pg, &error))
            throw UsageError(QStringLiteral("--pg: %1").arg(error));
        // The pgsql connection takes its login from the environment, as libpq does.
        if (!pg.user.isEmpty())
            qputenv("PGUSER", pg.user.toUtf8());
        if (!pg.password.isEmpty())
            qputenv("PGPASSWORD", pg.password.toUtf8());
        options->protocol = QStringLiteral("pgsql");
        options->server = QStringLiteral("%1:%2").arg(pg.host).arg(pg.port);
        options->file = pg.databaseName;
        return;
    }
    options->file = parser.value(QStringLiteral("db"));
    if (!QFile::exists(options->file))
        throw UsageError(QStringLiteral("%1 does not exist").arg(options->file));
}

} // namespace

void addGenerateOptions(QCommandLineParser &parser)
{
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("db"), QStringLiteral("SQLite database file."), QStringLiteral("file")},
        {QStringLiteral("pg"), QStringLiteral("PostgreSQL database, in place of --db."), QStringLiteral("conninfo")},
        {QStringLiteral("server"), QStringLiteral("qacsemaf-server, in place of --db."), QStringLiteral("host:port")},
        {QStringLiteral("company"), QStringLiteral("Current company."), QStringLiteral("n")},
        {QStringLiteral("target"), QStringLiteral("Target position."), QStringLiteral("code@company")},
        {QStringLiteral("candidates"), QStringLiteral("Candidate positions, in order."),
         QStringLiteral("code@company,...")},
        {QStringLiteral("categories"), QStringLiteral("Requirement categories: EF, EN, EP, CO."), QStringLiteral("list")},
        {QStringLiteral("edu-sin-puntos"), QStringLiteral("Education without points: auto (the company's flag), on, off."),
         QStringLiteral("mode"), QStringLiteral("auto")},
        {QStringLiteral("user"), QStringLiteral("Application user."), QStringLiteral("user"), QStringLiteral("ADMIN")},
        {QStringLiteral("password"), QStringLiteral("The user's password."), QStringLiteral("password"),
         QStringLiteral("ADMIN")},
    });
}

void parseCommandLine(QCommandLineParser &parser, const QStringList &arguments)
{
    if (!parser.parse(arguments))
        throw UsageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText();
        std::exit(0);
    }
    if (!parser.positionalArguments().isEmpty())
        throw UsageError(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
}

GenerateOptions readGenerateOptions(const QCommandLineParser &parser)
{
    for (const char *required : {"company", "target", "candidates", "categories"})
        if (!parser.isSet(QLatin1String(required)))
            throw UsageError(QStringLiteral("--%1 is required").arg(QLatin1String(required)));

    GenerateOptions options;
    readDatabaseOptions(parser, &options);
    bool isNumber = false;
    options.company = parser.value(QStringLiteral("company")).toInt(&isNumber);
    if (!isNumber)
        throw UsageError(QStringLiteral("--company: \"%1\" is not a number").arg(parser.value(QStringLiteral("company"))));
    options.user = parser.value(QStringLiteral("user"));
    options.password = parser.value(QStringLiteral("password"));
    options.flag = parser.value(QStringLiteral("edu-sin-puntos")).toLower();
    if (!QStringList{"auto", "on", "off"}.contains(options.flag))
        throw UsageError(QStringLiteral("--edu-sin-puntos: use auto, on or off"));

    const auto target = positionAt(parser.value(QStringLiteral("target")), QStringLiteral("target"));
    options.inputs.cargoAspira = target.first;
    options.inputs.empreAspira = target.second;
    options.positions << target;
    QStringList positions, companies;
    for (const QString &item : parser.value(QStringLiteral("candidates")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const auto candidate = positionAt(item.trimmed(), QStringLiteral("candidates"));
        options.positions << candidate;
        positions << QLatin1Char('\'') + candidate.first + QLatin1Char('\'');
        companies << QLatin1Char('\'') + candidate.second + QLatin1Char('\'');
    }
    options.inputs.cargoActual = positions.join(QLatin1Char(','));
    options.inputs.empCaActual = companies.join(QLatin1Char(','));
    options.inputs.categories = categoriesOf(parser.value(QStringLiteral("categories")));
    return options;
}

void startGenerateSession(const GenerateOptions &options)
{
    ResetSessionGlobals();
    gStProtocolo = options.protocol;
    gStParSrv = options.server;
    gStAliasCnx = options.file;
    gStParUsu = gStCodiUsua = options.user;
    gStParPas = gStPassUsua = options.password;
    gStParEmp = gStCodiEmpr = QString::number(options.company);
    TApplication::instance().Tag = options.company;
}

void checkGenerateInputs(const GenerateOptions &options, SDCOMConnection &connection)
{
    connection.AppServerCall(QStringLiteral("VerificarSesion"), {options.user, QString::number(options.company)});
    QStringList missing;
    for (const auto &[code, company] : options.positions) {
        const appserver::FetchResult found = connection.Fetch(
            QStringLiteral("DtsPTemporal"),
            QStringLiteral("SELECT COD_CARG FROM BI_CARGO WHERE COD_EMPR = :EMPRESA AND COD_CARG = :CARGO"),
            {{QStringLiteral("EMPRESA"), appserver::FieldType::Integer, company.toInt()},
             {QStringLiteral("CARGO"), appserver::FieldType::String, code}});
        const QString name = code + QLatin1Char('@') + company;
        if (found.rows.isEmpty() && !missing.contains(name))
            missing << name;
    }
    if (!missing.isEmpty())
        throw Exception(QStringLiteral("No existen los cargos %1.").arg(missing.join(QStringLiteral(", "))));
}

void runGeneration(GenerateOptions &options, TDtmAcSemaf &module)
{
    if (options.flag == QLatin1String("auto"))
        options.inputs.eduSinPuntos = module.VerNexoFlags(QStringLiteral("Q0000190")).toString() == QLatin1String("S");
    else
        options.inputs.eduSinPuntos = options.flag == QLatin1String("on");
    module.GenerarSemaforoCarrera(options.inputs);
}

namespace {

PrintOptions parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs the traffic-light generation for a target position against the holders of the candidate positions."));
    addGenerateOptions(parser);
    parser.addOption({QStringLiteral("format"), QStringLiteral("Output: table, json or csv."), QStringLiteral("format"),
                      QStringLiteral("table")});
    parseCommandLine(parser, arguments);
    PrintOptions options{readGenerateOptions(parser), parser.value(QStringLiteral("format")).toLower()};
    if (!QStringList{"table", "json", "csv"}.contains(options.format))
        throw UsageError(QStringLiteral("--format: use table, json or csv"));
    return options;
}

// One headless workstation: connection, company list, scratch dataset and data module.
int generate(PrintOptions options)
{
    startGenerateSession(options.run);
    HeadlessWorkstation workstation;
    checkGenerateInputs(options.run, workstation.connection);
    TDtmAcSemaf &module = workstation.module;
    workstation.companies.Open();
    runGeneration(options.run, module);

    TDataSet &result = module.CdsAcSemaf;
    result.AfterScroll = nullptr;   // printing walks the rows; the positions table is not shown
    QTextStream out(stdout);
    printGenerationResult(result, options.format, out);
    return 0;
}

} // namespace

int runGenerateCommand(const QStringList &arguments)
{
    QTextStream err(stderr);
    try {
        return generate(parse(arguments));
    } catch (const UsageError &error) {
        err << "qacsemaf generate: " << error.message() << '\n';
        return 2;
    } catch (const Exception &error) {
        err << error.Message() << '\n';
        return 1;
    }
}
