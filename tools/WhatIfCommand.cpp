#include "tools/WhatIfCommand.h"

#include "data/HeadlessWorkstation.h"
#include "data/SuccessionMap.h"
#include "engine/SuccessionSchema.h"
#include "framework/Exceptions.h"
#include "framework/dataset/FieldConvert.h"
#include "tools/CommandLine.h"
#include "tools/CommonOptions.h"
#include "tools/ResultPrinter.h"
#include "tools/UsageError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <optional>

namespace {

struct WhatIfOptions {
    CommonOptions common;
    QString format;
    int plan = 0;
    int node = 0;
    double employee = 0;
    std::optional<int> contract;
    bool closeAll = false;
    QVector<engine::RequirementKey> close;
    QString flag;   // auto, on, off
};

void addWhatIfOptions(CommandLine &line)
{
    CommonOptions::addTo(line);
    line.add({
        {QStringLiteral("plan"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "El plan de carrera (COD_MENU).")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "número"))},
        {QStringLiteral("node"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "El nodo del plan (COD_NODO).")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "número"))},
        {QStringLiteral("employee"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "El candidato (COD_EMPL).")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "código"))},
        {QStringLiteral("contract"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "La empresa de su contrato (COD_EMCA), cuando tiene contratos "
                                               "candidatos del nodo en varias empresas.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "empresa"))},
        {QStringLiteral("close"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Las brechas que se dan por cerradas: all, o TIPO:REQU:ESPE separadas "
                                               "por comas (CO:601:2; CO:601 sin especificación). Sin ella no se "
                                               "cierra ninguna.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "brechas"))},
        {QStringLiteral("edu-sin-puntos"),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "Educación sin puntos: auto (la marca de la empresa), on, off.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "modo")), QStringLiteral("auto")},
        {QStringLiteral("format"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Salida: table o json.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "formato")), QStringLiteral("table")},
    });
}

// Every argument before any work; throws UsageError.
WhatIfOptions readWhatIfOptions(const CommandLine &line)
{
    for (const char *required : {"company", "plan", "node", "employee", "categories"})
        line.require(QLatin1String(required));
    WhatIfOptions options;
    options.format = line.choice(QStringLiteral("format"), {"table", "json"});
    options.common = CommonOptions::read(line);
    options.plan = line.number(QStringLiteral("plan"), 0);
    options.node = line.number(QStringLiteral("node"), 0);
    bool isNumber = false;
    options.employee = line.value(QStringLiteral("employee")).trimmed().toDouble(&isNumber);
    if (!isNumber)
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--employee necesita un código de empleado (un número), "
                                                               "no \"%1\"."))
                             .arg(line.value(QStringLiteral("employee"))));
    if (line.isSet(QStringLiteral("contract")))
        options.contract = line.number(QStringLiteral("contract"), 0);
    const QString close = line.value(QStringLiteral("close")).trimmed();
    if (close.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0) {
        options.closeAll = true;
    } else if (line.isSet(QStringLiteral("close"))) {
        for (const QString &item : close.split(QLatin1Char(','))) {
            try {
                options.close.append(engine::parseGapKey(item));
            } catch (const Exception &error) {
                throw UsageError(error.Message());
            }
        }
    }
    options.flag = line.choice(QStringLiteral("edu-sin-puntos"), {"auto", "on", "off"});
    return options;
}

QString whatIfPercentText(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral(" %");
}

QJsonObject whatIfGapJson(const engine::RequirementGap &gap)
{
    const engine::RequirementKey key(gap.codRequ, gap.codEspe, gap.tipRegi);
    return {{QStringLiteral("brecha"), engine::gapKeyText(key)},
            {QStringLiteral("TIP_REGI"), QJsonValue::fromVariant(gap.tipRegi)},
            {QStringLiteral("NOM_REGI"), engine::gapCategoryCaption(gap.categoryName)},
            {QStringLiteral("COD_REQU"), QJsonValue::fromVariant(gap.codRequ)},
            {QStringLiteral("NOM_REQU"), gap.requirementName},
            {QStringLiteral("COD_ESPE"), QJsonValue::fromVariant(gap.codEspe)},
            {QStringLiteral("NOM_ESPE"), gap.detailName},
            {QStringLiteral("POR_CUMP"), gap.averageFulfilment}};
}

void printWhatIfTable(QTextStream &out, const WhatIfOptions &options, const engine::WhatIfCandidate &candidate,
                const engine::EmployeeScore &generated, const engine::EmployeeScore &whatIf,
                const QStringList &closed, const engine::RequirementGaps &open)
{
    const engine::CandidateEmployee &employee = candidate.employee;
    out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Plan %1, nodo %2: cargo %3 de la empresa %4"))
               .arg(options.plan)
               .arg(candidate.node)
               .arg(candidate.inputs.target.code)
               .arg(candidate.inputs.target.company)
        << '\n';
    out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Candidato %1 %2 %3 (cargo %4 de la empresa %5)"))
               .arg(employee.codEmplText, employee.apellidos.trimmed(), employee.nombres.trimmed(),
                    candidate.position.code)
               .arg(employee.codEmpr)
        << '\n';
    out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Semáforo generado: %1 %2"))
               .arg(whatIfPercentText(generated.percentage), engine::bandName(engine::band(generated.percentage)))
        << '\n';
    out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Con las brechas cerradas: %1 %2"))
               .arg(whatIfPercentText(whatIf.percentage), engine::bandName(engine::band(whatIf.percentage)))
        << '\n';
    out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Brechas cerradas: %1"))
               .arg(closed.isEmpty() ? cliText(QT_TRANSLATE_NOOP("qacsemaf", "ninguna")) : closed.join(QStringLiteral(", ")))
        << '\n';
    if (open.isEmpty()) {
        out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Brechas abiertas: ninguna")) << '\n';
        return;
    }
    out << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Brechas abiertas:")) << '\n';
    TClientDataSet table(QStringLiteral("CdsBrechas"));
    SuccessionMap::createTable(table, engine::successionGapsTable());
    engine::fillGapRows(table, open);
    engine::ResultTable schema = engine::nodeGapsTable();
    // One candidate: the counts of evaluations say nothing.
    schema.fields.removeIf([](const engine::ResultField &field) {
        namespace f = engine::successionfield;
        return field.name == f::NumFalt || field.name == f::NumEval || field.name == f::CodEmca;
    });
    ResultPrinter(schema).print(table, QStringLiteral("table"), out, ResultPrinter::terminalColour());
}

int runWhatIf(const WhatIfOptions &options)
{
    HeadlessWorkstation workstation(options.common.session());
    options.common.proveSession(workstation.connection);
    workstation.companies.Open();
    SuccessionMap map(workstation.module);
    engine::SuccessionRequest request;
    request.categories = options.common.categories;
    request.eduSinPuntos = options.flag == QLatin1String("auto") ? map.companyEduSinPuntos()
                                                                 : options.flag == QLatin1String("on");
    const engine::CareerPlanShape shape = map.readPlan(options.common.company, options.plan);
    if (!shape.find(options.node))
        throw Exception(cliText(QT_TRANSLATE_NOOP("qacsemaf", "El plan %1 no tiene el nodo %2.")).arg(options.plan).arg(options.node));
    const engine::WhatIfCandidate candidate = map.whatIf(shape, options.node, request, options.employee, options.contract);
    const engine::CandidateWhatIf &whatIf = candidate.whatIf;
    QVector<int> closed;
    if (options.closeAll) {
        for (int at = 0; at < whatIf.gaps().size(); ++at)
            closed << at;
    } else {
        for (const engine::RequirementKey &key : options.close)
            if (const int at = whatIf.gapOf(key); !closed.contains(at))
                closed << at;
    }
    QStringList closedTexts;
    for (const int at : closed) {
        const engine::RequirementGap &gap = whatIf.gaps().at(at);
        closedTexts << engine::gapKeyText({gap.codRequ, gap.codEspe, gap.tipRegi});
    }
    const engine::EmployeeScore generated = whatIf.score();
    const engine::EmployeeScore scored = whatIf.score(closed);
    const engine::RequirementGaps open = whatIf.openGaps(closed);

    QTextStream out(stdout);
    if (options.format == QLatin1String("table")) {
        printWhatIfTable(out, options, candidate, generated, scored, closedTexts, open);
        return 0;
    }
    QJsonArray openJson;
    for (const engine::RequirementGap &gap : open)
        openJson.append(whatIfGapJson(gap));
    const engine::CandidateEmployee &employee = candidate.employee;
    const QJsonObject document{
        {QStringLiteral("COD_MENU"), options.plan},
        {QStringLiteral("COD_NODO"), candidate.node},
        {QStringLiteral("COD_CARG"), candidate.inputs.target.code},
        {QStringLiteral("COD_EMPL"), QJsonValue::fromVariant(employee.codEmpl)},
        {QStringLiteral("COD_EMCA"), employee.codEmpr},
        {QStringLiteral("APE_EMPL"), employee.apellidos.trimmed()},
        {QStringLiteral("NOM_EMPL"), employee.nombres.trimmed()},
        {QStringLiteral("generado"),
         QJsonObject{{QStringLiteral("POR_EMPL"), generated.percentage},
                     {QStringLiteral("banda"), engine::bandName(engine::band(generated.percentage))}}},
        {QStringLiteral("POR_EMPL"), scored.percentage},
        {QStringLiteral("banda"), engine::bandName(engine::band(scored.percentage))},
        {QStringLiteral("cerradas"), QJsonArray::fromStringList(closedTexts)},
        {QStringLiteral("abiertas"), openJson},
    };
    out << QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
    return 0;
}

} // namespace

int runWhatIfCommand(const QStringList &arguments)
{
    CommandLine line(arguments.value(0), cliText(QT_TRANSLATE_NOOP(
        "qacsemaf", "Qué pasaría si: el porcentaje y la banda de un candidato de un nodo con las brechas de --close "
                    "dadas por cerradas, cada una como un registro más de ese requisito con los puntos que le "
                    "faltan. No escribe nada en la base de datos.")));
    addWhatIfOptions(line);
    try {
        line.parse(arguments);
        return runWhatIf(readWhatIfOptions(line));
    } catch (const UsageError &error) {
        return reportUsageError(error, arguments.value(0));
    } catch (const Exception &error) {
        return reportFailure(error.Message());
    }
}
