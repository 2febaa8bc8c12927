#include "tools/ReportCommand.h"

#include "data/DAcSemaf.h"
#include "reportengine/DocxExport.h"
#include "framework/Exceptions.h"
#include "tools/EvolutionReport.h"
#include "tools/GenerateCommand.h"
#include "data/HeadlessMainForm.h"
#include "data/HeadlessWorkstation.h"
#include "reportengine/PdfExport.h"
#include "framework/dataset/TField.h"
#include "reports/TReportesAcSemaf.h"
#include "reportengine/XlsxExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

const QString kReports = QStringLiteral("list, competence, evolution");

// The report's own options beside those of the run.
void addReportOptions(CommandLine &line, bool competence)
{
    addGenerateOptions(line);
    line.add({
        {QStringLiteral("pdf"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Escribe el reporte en este archivo PDF.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("xlsx"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Escribe el reporte en este libro XLSX.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("docx"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Escribe el reporte en este documento DOCX.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
    });
    if (competence)
        line.add({{QStringLiteral("employee"),
                   cliText(QT_TRANSLATE_NOOP("qacsemaf", "Empleado (COD_EMPL) del resultado que se reporta; por omisión "
                                                         "el primero.")),
                   QStringLiteral("id")},
                  {QStringLiteral("rows"),
                   cliText(QT_TRANSLATE_NOOP("qacsemaf", "Imprime las filas de requisitos del reporte (csv o json) en "
                                                         "lugar de escribir un archivo; no abre ventanas.")),
                   cliText(QT_TRANSLATE_NOOP("qacsemaf", "formato"))}});
}

ReportOptions readReportOptions(const CommandLine &line, bool competence)
{
    ReportOptions options{competence, line.value(QStringLiteral("pdf")), line.value(QStringLiteral("xlsx")),
                          line.value(QStringLiteral("docx")),
                          competence ? line.value(QStringLiteral("employee")) : QString(), QString()};
    for (const char *file : {"pdf", "xlsx", "docx"})
        line.requireFolderOf(QLatin1String(file));
    const bool files = !options.pdf.isEmpty() || !options.xlsx.isEmpty() || !options.docx.isEmpty();
    if (competence && line.isSet(QStringLiteral("rows"))) {
        options.rows = line.choice(QStringLiteral("rows"), {"csv", "json"});
        for (const char *file : {"pdf", "xlsx", "docx"})
            line.refuseTogether(QStringLiteral("rows"), QLatin1String(file));
    } else if (!files) {
        throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "falta --pdf, --xlsx o --docx")));
    }
    return options;
}

// The company header of the report, as the main window keeps it open on the current company.
void openCompanyHeader(TDtmAcSemaf &module, int company)
{
    module.QryGnEmpre.Close();
    module.QryGnEmpre.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(company);
    module.QryGnEmpre.Open();
}

// Without a career plan on screen, the header names the target position itself.
QString targetName(TDtmAcSemaf &module, const engine::GenerationInputs &inputs)
{
    module.ValidaGrupoEmpresarial();
    TDataSet &positions = module.QryBiCargo;
    if (positions.Locate(QStringLiteral("cod_empr;cod_carg"), QVariantList{inputs.target.company, inputs.target.code}))
        return positions.FieldByName(QStringLiteral("nom_carg"))->AsString().trimmed();
    return inputs.target.code;
}

// Writes the prepared pages to every file asked for.
void writeFiles(const ReportOptions &options, const report::PreparedReport &pages, QTextStream &out)
{
    using Writer = bool (*)(const report::PreparedReport &, const QString &, QString *,
                            const std::function<bool(int, int)> &);
    const struct {
        const QString &path;
        const char *kind;
        Writer write;
    } files[] = {{options.pdf, "PDF", &report::PdfExport::write},
                 {options.xlsx, "XLSX", &report::XlsxExport::write},
                 {options.docx, "DOCX", &report::DocxExport::write}};
    for (const auto &file : files) {
        if (file.path.isEmpty())
            continue;
        QString error;
        if (!file.write(pages, file.path, &error, {}))
            throw Exception(error);
        out << "qacsemaf: "
            << (pages.pageCount() == 1 ? cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1, %2 página: %3"))
                                       : cliText(QT_TRANSLATE_NOOP("qacsemaf", "%1, %2 páginas: %3")))
                   .arg(QLatin1String(file.kind)).arg(pages.pageCount()).arg(file.path)
            << '\n';
    }
}

void produceList(const ReportOptions &options, TReportesAcSemaf &reports, QTextStream &out)
{
    reports.ProducirListado([&](report::Report &report) { writeFiles(options, report.prepare(), out); });
}

// The main window's fields as its career tree fills them for these positions: the competence
// report reads its company list from them.
void fillTreeFields(const engine::GenerationInputs &inputs, HeadlessMainForm &form)
{
    const auto quoted = [](const QString &code) { return QLatin1Char('\'') + code + QLatin1Char('\''); };
    QStringList positions, companies;
    for (const engine::CompanyPosition &candidate : inputs.candidates) {
        positions << quoted(candidate.code);
        companies << quoted(QString::number(candidate.company));
    }
    form.CargoAspira = inputs.target.code;
    form.EmpreAspira = QString::number(inputs.target.company);
    form.CargoActual = positions.join(QLatin1Char(','));
    form.EmpCaActual = companies.join(QLatin1Char(','));
    form.categories = inputs.categories;
}

// The competence report's rows: what its table prints and its chart draws, one requirement a row.
// Required and obtained values and the percentage obtained (what the chart's bars show) are numbers.
const struct {
    const char *name;
    bool number;
} kCompetenceColumns[] = {{"TIP_REGI", false}, {"COD_REQU", false}, {"COD_ESPE", false},
                          {"VAL_REQU", true},  {"VAL_CUMP", true},  {"CUM_GRAF", true}};

QString csvCell(QString text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

void printCompetenceRows(const QString &employee, TDataSet &rows, const QString &format, QTextStream &out)
{
    QJsonArray array;
    if (format == QLatin1String("csv")) {
        out << "COD_EMPL";
        for (const auto &column : kCompetenceColumns)
            out << ',' << column.name;
        out << '\n';
    }
    for (rows.First(); !rows.Eof(); rows.Next()) {
        QJsonObject object{{QStringLiteral("COD_EMPL"), employee}};
        QStringList cells{csvCell(employee)};
        for (const auto &column : kCompetenceColumns) {
            TField *field = rows.FieldByName(QLatin1String(column.name));
            object.insert(QLatin1String(column.name),
                          column.number ? QJsonValue(field->AsFloat()) : QJsonValue(field->AsString().trimmed()));
            cells << csvCell(column.number ? QString::number(field->AsFloat(), 'f', 2) : field->AsString().trimmed());
        }
        if (format == QLatin1String("csv"))
            out << cells.join(QLatin1Char(',')) << '\n';
        array.append(object);
    }
    if (format == QLatin1String("json"))
        out << QJsonDocument(array).toJson(QJsonDocument::Indented);
}

void writeCompetence(const ReportOptions &options, TDtmAcSemaf &module, TReportesAcSemaf &reports, QTextStream &out)
{
    module.CdsDtpcaRep.AfterScroll = nullptr;
    TDataSet &result = module.CdsAcSemaf;
    if (!options.employee.isEmpty() && !result.Locate(QStringLiteral("COD_EMPL"), options.employee))
        throw Exception(cliText(QT_TRANSLATE_NOOP("qacsemaf", "el empleado %1 no está en el resultado de esta "
                                                              "generación")).arg(options.employee));
    if (!options.rows.isEmpty()) {
        module.ReporteCompetencias();
        printCompetenceRows(result.FieldByName(QStringLiteral("COD_EMPL"))->AsString(), module.CdsDtpcaRep,
                            options.rows, out);
        return;
    }
    if (!result.IsEmpty())
        out << "qacsemaf: "
            << cliText(QT_TRANSLATE_NOOP("qacsemaf", "empleado %1 (%2 %3)"))
                   .arg(result.FieldByName(QStringLiteral("COD_EMPL"))->AsString(),
                        result.FieldByName(QStringLiteral("NOM_EMPL"))->AsString(),
                        result.FieldByName(QStringLiteral("APE_EMPL"))->AsString())
            << '\n';
    // The chart is drawn by the painter the program installed: the charting library in the window
    // program, as in the preview window.
    reports.ReporteCompetencias([&](report::Report &report) { writeFiles(options, report.prepare(), out); });
}

// The run by positions, headless: `form` stands for the main window, its fields filled as the
// career tree would fill them for these positions.
int produce(const ReportOptions &options, GenerateOptions run)
{
    HeadlessMainForm form;   // attached after the generation, which reads its inputs from the options
    HeadlessWorkstation workstation(run.common.session());
    TDtmAcSemaf &module = workstation.module;
    run.common.proveSession(workstation.connection);
    workstation.companies.Open();
    runGeneration(run, module);
    openCompanyHeader(module, run.common.company);

    TReportesAcSemaf reports(module);
    reports.CargoSinPlan = targetName(module, run.inputs);
    if (options.competence) {
        fillTreeFields(run.inputs, form);
        module.Forma = &form;
    }
    QTextStream out(stdout);
    writeReport(options, module, reports, out);
    return 0;
}

} // namespace

void writeReport(const ReportOptions &options, TDtmAcSemaf &module, TReportesAcSemaf &reports, QTextStream &out)
{
    module.CdsAcSemaf.AfterScroll = nullptr;   // no positions page to keep in step
    if (options.competence)
        writeCompetence(options, module, reports, out);
    else
        produceList(options, reports, out);
}

int runReportCommandWith(const QStringList &arguments, const ReportOnPlanNode &onPlanNode)
{
    try {
        if (arguments.size() < 2)
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "indique el reporte: %1")).arg(kReports));
        const QString kind = arguments.at(1);
        if (kind == QLatin1String("--help") || kind == QLatin1String("-h")) {
            QTextStream(stdout) << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Uso: %1 list|competence|evolution [opciones]"))
                                       .arg(arguments.value(0))
                                << "\n\n"
                                << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Las opciones de cada reporte: \"%1 list "
                                                                         "--help\", \"%1 competence --help\", \"%1 evolution --help\"."))
                                       .arg(arguments.value(0))
                                << '\n';
            return 0;
        }
        if (kind == QLatin1String("evolution")) {
            QStringList rest = arguments;
            rest[0] += QLatin1Char(' ') + kind;
            rest.removeAt(1);
            return runEvolutionReport(rest);
        }
        if (kind != QLatin1String("list") && kind != QLatin1String("competence"))
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "reporte desconocido \"%1\" (use %2)")).arg(kind, kReports));
        const bool competence = kind == QLatin1String("competence");
        QStringList rest = arguments;
        rest[0] += QLatin1Char(' ') + kind;
        rest.removeAt(1);
        CommandLine line(rest.value(0),
                         competence ? cliText(QT_TRANSLATE_NOOP(
                                          "qacsemaf", "Genera el semáforo como qacsemaf generate y escribe el reporte de "
                                                      "competencias (tabla de requisitos y gráfica) de un empleado evaluado."))
                                    : cliText(QT_TRANSLATE_NOOP(
                                          "qacsemaf", "Genera el semáforo como qacsemaf generate y escribe el listado del "
                                                      "resultado.")));
        addReportOptions(line, competence);
        try {
            line.parse(rest);
            const ReportOptions options = readReportOptions(line, competence);
            if (givesPlanNode(line)) {
                const PlanNode node = readPlanNode(line, positionOptions());
                if (!onPlanNode)
                    throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--plan y --node van por la ventana "
                                                                           "principal, que este programa no abre")));
                return onPlanNode(line, node, options);
            }
            return produce(options, readGenerateOptions(line));
        } catch (const UsageError &error) {
            return reportUsageError(error, rest.value(0));
        }
    } catch (const UsageError &error) {
        return reportUsageError(error, arguments.value(0));
    } catch (const Exception &error) {
        return reportFailure(error.Message());
    }
}

int runReportCommand(const QStringList &arguments)
{
    return runReportCommandWith(arguments, {});
}
