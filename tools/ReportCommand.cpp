#include "tools/ReportCommand.h"

#include "data/DAcSemaf.h"
#include "reportengine/DocxExport.h"
#include "framework/Exceptions.h"
#include "tools/GenerateCommand.h"
#include "data/HeadlessMainForm.h"
#include "data/HeadlessWorkstation.h"
#include "reportengine/PdfExport.h"
#include "framework/dataset/TField.h"
#include "reports/TReportesAcSemaf.h"
#include "framework/Ugnnorma.h"
#include "reportengine/XlsxExport.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

struct ReportOptions {
    bool competence = false;   // the per-employee competence report instead of the list
    GenerateOptions run;
    QString pdf;
    QString xlsx;
    QString docx;
    QString employee;          // competence: the evaluated employee; empty: the first one
    QString rows;              // competence: print the report's rows (csv, json) instead of a file
};

const QString kReports = QStringLiteral("list, competence");

ReportOptions readReportOptions(QStringList arguments)
{
    if (arguments.size() < 2)
        throw UsageError(QStringLiteral("name the report: ") + kReports);
    const QString kind = arguments.at(1);
    if (kind != QLatin1String("list") && kind != QLatin1String("competence"))
        throw UsageError(QStringLiteral("unknown report \"%1\" (use %2)").arg(kind, kReports));
    const bool competence = kind == QLatin1String("competence");
    arguments[0] += QLatin1Char(' ') + kind;
    arguments.removeAt(1);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        competence ? QStringLiteral("Runs the traffic-light generation as qacsemaf generate does and writes the "
                                    "competence report (requirement table and chart) of one evaluated employee.")
                   : QStringLiteral("Runs the traffic-light generation as qacsemaf generate does and writes the list "
                                    "report of the result."));
    addGenerateOptions(parser);
    parser.addOption({QStringLiteral("pdf"), QStringLiteral("Write the report to this PDF file."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("xlsx"), QStringLiteral("Write the report to this XLSX workbook."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("docx"), QStringLiteral("Write the report to this DOCX document."), QStringLiteral("file")});
    if (competence)
        parser.addOptions({{QStringLiteral("employee"),
                            QStringLiteral("Employee (COD_EMPL) of the result to report; the first one by default."),
                            QStringLiteral("id")},
                           {QStringLiteral("rows"),
                            QStringLiteral("Print the report's requirement rows (csv or json) instead of writing a "
                                           "file; needs no windows."),
                            QStringLiteral("format")}});
    CommonOptions::parse(parser, arguments);
    ReportOptions options{competence, readGenerateOptions(parser), parser.value(QStringLiteral("pdf")),
                          parser.value(QStringLiteral("xlsx")), parser.value(QStringLiteral("docx")),
                          competence ? parser.value(QStringLiteral("employee")) : QString(),
                          competence ? parser.value(QStringLiteral("rows")).toLower() : QString()};
    const bool files = !options.pdf.isEmpty() || !options.xlsx.isEmpty() || !options.docx.isEmpty();
    if (!options.rows.isEmpty()) {
        if (options.rows != QLatin1String("csv") && options.rows != QLatin1String("json"))
            throw UsageError(QStringLiteral("--rows: use csv or json"));
        if (files)
            throw UsageError(QStringLiteral("--rows prints the rows; it takes no --pdf, --xlsx or --docx"));
    } else if (!files) {
        throw UsageError(QStringLiteral("--pdf, --xlsx or --docx is required"));
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
        out << "qacsemaf report: " << file.kind << ", " << pages.pageCount()
            << (pages.pageCount() == 1 ? " page: " : " pages: ") << file.path << '\n';
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

// `form` stands for the main window: the inputs of the run, for the data module's competence rows.
void produceCompetence(const ReportOptions &options, TDtmAcSemaf &module, HeadlessMainForm &form,
                       TReportesAcSemaf &reports, QTextStream &out)
{
    fillTreeFields(options.run.inputs, form);
    module.Forma = &form;
    module.CdsDtpcaRep.AfterScroll = nullptr;
    TDataSet &result = module.CdsAcSemaf;
    if (!options.employee.isEmpty() && !result.Locate(QStringLiteral("COD_EMPL"), options.employee))
        throw Exception(QStringLiteral("qacsemaf report: employee %1 is not in the result of this generation")
                            .arg(options.employee));
    if (!options.rows.isEmpty()) {
        module.ReporteCompetencias();
        printCompetenceRows(result.FieldByName(QStringLiteral("COD_EMPL"))->AsString(), module.CdsDtpcaRep,
                            options.rows, out);
        return;
    }
    if (!result.IsEmpty())
        out << "qacsemaf report: employee " << result.FieldByName(QStringLiteral("COD_EMPL"))->AsString() << " ("
            << result.FieldByName(QStringLiteral("NOM_EMPL"))->AsString() << ' '
            << result.FieldByName(QStringLiteral("APE_EMPL"))->AsString() << ")\n";
    // The chart is drawn by the painter the program installed: the charting library in the window
    // program, as in the preview window.
    reports.ReporteCompetencias([&](report::Report &report) { writeFiles(options, report.prepare(), out); });
}

int produce(ReportOptions options)
{
    startGenerateSession(options.run);
    gStNombProg = QStringLiteral("QAcSemaf");
    HeadlessMainForm form;   // attached after the generation, which reads its inputs from the options
    HeadlessWorkstation workstation;
    TDtmAcSemaf &module = workstation.module;
    options.run.common.proveSession(workstation.connection);
    workstation.companies.Open();
    runGeneration(options.run, module);
    openCompanyHeader(module, options.run.common.company);

    TReportesAcSemaf reports(module);
    reports.CargoSinPlan = targetName(module, options.run.inputs);
    module.CdsAcSemaf.AfterScroll = nullptr;   // no positions page to keep in step
    QTextStream out(stdout);
    if (options.competence)
        produceCompetence(options, module, form, reports, out);
    else
        produceList(options, reports, out);
    return 0;
}

} // namespace

int runReportCommand(const QStringList &arguments)
{
    QTextStream err(stderr);
    try {
        return produce(readReportOptions(arguments));
    } catch (const UsageError &error) {
        err << "qacsemaf report: " << error.message() << '\n';
        return 2;
    } catch (const Exception &error) {
        err << error.Message() << '\n';
        return 1;
    }
}
