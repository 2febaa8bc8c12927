#include "GenerateCommand.h"

#include "DAcSemaf.h"
#include "HeadlessWorkstation.h"
#include "Exceptions.h"
#include "SDCOMConnection.h"
#include "TApplication.h"
#include "TrafficLightGeneration.h"
#include "Ugnnorma.h"

#include <QCommandLineParser>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace {

const QStringList kResultFields{"COD_EMPL", "POR_EMPL", "NUM_PERA", "APE_EMPL", "NOM_EMPL", "COD_EMCA"};

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

} // namespace

void addGenerateOptions(QCommandLineParser &parser)
{
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("db"), QStringLiteral("SQLite database file."), QStringLiteral("file")},
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
    for (const char *required : {"db", "company", "target", "candidates", "categories"})
        if (!parser.isSet(QLatin1String(required)))
            throw UsageError(QStringLiteral("--%1 is required").arg(QLatin1String(required)));

    GenerateOptions options;
    options.file = parser.value(QStringLiteral("db"));
    if (!QFile::exists(options.file))
        throw UsageError(QStringLiteral("%1 does not exist").arg(options.file));
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
    QStringList positions, companies;
    for (const QString &item : parser.value(QStringLiteral("candidates")).split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const auto candidate = positionAt(item.trimmed(), QStringLiteral("candidates"));
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
    gStProtocolo = QStringLiteral("local");
    gStAliasCnx = options.file;
    gStParUsu = gStCodiUsua = options.user;
    gStParPas = gStPassUsua = options.password;
    gStParEmp = gStCodiEmpr = QString::number(options.company);
    TApplication::instance().Tag = options.company;
}

void runGeneration(GenerateOptions &options, TDtmAcSemaf &module)
{
    if (options.flag == QLatin1String("auto"))
        options.inputs.eduSinPuntos = module.VerNexoFlags(QStringLiteral("Q0000190")).toString() == QLatin1String("S");
    else
        options.inputs.eduSinPuntos = options.flag == QLatin1String("on");
    engine::TrafficLightGeneration(module.DatosGeneracion()).regenerate(
        options.inputs, [&module](TDataSet *dataSet) { module.CdsAcSemafAfterScroll(dataSet); });
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

QString bandColour(double percentage, bool trueColour)
{
    // The green bound is held in extended precision: 91.1 as a double lies below it.
    if (static_cast<long double>(percentage) >= 91.1L)
        return trueColour ? QStringLiteral("\x1b[30;48;2;146;226;107m") : QStringLiteral("\x1b[30;42m");
    if (percentage >= 70)
        return trueColour ? QStringLiteral("\x1b[30;48;2;255;255;0m") : QStringLiteral("\x1b[30;43m");
    return trueColour ? QStringLiteral("\x1b[37;48;2;255;0;0m") : QStringLiteral("\x1b[37;41m");
}

bool colourAllowed()
{
    const QByteArray term = qgetenv("TERM");
    return isatty(STDOUT_FILENO) && qEnvironmentVariableIsEmpty("NO_COLOR") && !term.isEmpty() && term != "dumb";
}

QString cellText(TField *field)
{
    if (field->FieldName() == QLatin1String("POR_EMPL"))
        return QString::number(field->AsFloat(), 'f', 2);
    return field->AsString();
}

void printTable(TDataSet &result, QTextStream &out)
{
    QList<TField *> fields;
    for (const QString &name : kResultFields)
        fields << result.FieldByName(name);
    QList<QStringList> rows{QStringList(kResultFields)};
    for (result.First(); !result.Eof(); result.Next()) {
        QStringList row;
        for (TField *field : fields)
            row << cellText(field);
        rows << row;
    }
    QList<int> widths(fields.size(), 0);
    for (const QStringList &row : rows)
        for (int c = 0; c < row.size(); ++c)
            widths[c] = qMax(widths[c], row.at(c).size());
    const bool colour = colourAllowed();
    const QByteArray colourTerm = qgetenv("COLORTERM");
    const bool trueColour = colourTerm == "truecolor" || colourTerm == "24bit";
    for (int r = 0; r < rows.size(); ++r) {
        QStringList cells;
        for (int c = 0; c < rows[r].size(); ++c) {
            const bool number = r > 0 && (c < 3 || c == 5);
            cells << (number ? rows[r][c].rightJustified(widths[c]) : rows[r][c].leftJustified(widths[c]));
        }
        const QString line = cells.join(QStringLiteral("  "));
        if (colour && r > 0)
            out << bandColour(rows[r][1].toDouble(), trueColour) << line << "\x1b[0m\n";
        else
            out << line << '\n';
    }
}

QString jsonText(const QVariant &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{QJsonValue::fromVariant(value)}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// Written by hand so that each object lists its fields in the table's order.
void printJson(TDataSet &result, QTextStream &out)
{
    QStringList objects;
    for (result.First(); !result.Eof(); result.Next()) {
        QStringList members;
        for (const QString &name : kResultFields)
            members << QStringLiteral("\"%1\": %2").arg(name, jsonText(result.FieldByName(name)->AsVariant()));
        objects << QStringLiteral("  {") + members.join(QStringLiteral(", ")) + QLatin1Char('}');
    }
    out << (objects.isEmpty() ? QStringLiteral("[]") : QStringLiteral("[\n") + objects.join(QStringLiteral(",\n")) + QStringLiteral("\n]"))
        << '\n';
}

QString csvText(const QString &value)
{
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\n')))
        return value;
    return QLatin1Char('"') + QString(value).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

void printCsv(TDataSet &result, QTextStream &out)
{
    out << kResultFields.join(QLatin1Char(',')) << '\n';
    for (result.First(); !result.Eof(); result.Next()) {
        QStringList values;
        for (const QString &name : kResultFields)
            values << csvText(result.FieldByName(name)->AsString());
        out << values.join(QLatin1Char(',')) << '\n';
    }
}

// One headless workstation: connection, company list, scratch dataset and data module.
int generate(PrintOptions options)
{
    startGenerateSession(options.run);
    HeadlessWorkstation workstation;
    TDtmAcSemaf &module = workstation.module;
    workstation.companies.Open();
    runGeneration(options.run, module);

    TDataSet &result = module.CdsAcSemaf;
    result.AfterScroll = nullptr;   // printing walks the rows; the positions table is not shown
    QTextStream out(stdout);
    if (options.format == QLatin1String("json"))
        printJson(result, out);
    else if (options.format == QLatin1String("csv"))
        printCsv(result, out);
    else
        printTable(result, out);
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
