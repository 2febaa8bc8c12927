#include "tools/ReportCommand.h"

#include "data/DAcSemaf.h"
#include "data/HeadlessMainForm.h"
#include "data/HeadlessWorkstation.h"
#include "data/SuccessionSnapshots.h"
#include "framework/Exceptions.h"
#include "framework/dataset/TField.h"
#include "reportengine/DocxExport.h"
#include "reportengine/PdfExport.h"
#include "reportengine/XlsxExport.h"
#include "reports/ReportKinds.h"
#include "tools/SnapshotCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {

const char *const kFileOptions[] = {"pdf", "xlsx", "docx"};

// The report's options beside those of where its rows come from.
void addReportOptions(CommandLine &line, const ReportKind &kind)
{
    if (kind.source == ReportSource::Snapshots) {
        line.takeArguments(cliText(QT_TRANSLATE_NOOP("qacsemaf", "A B")), 2);
        CommonOptions::addTo(line);
    } else {
        addGenerateOptions(line);
    }
    line.add({
        {QStringLiteral("pdf"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Escribe el reporte en este archivo PDF.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("xlsx"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Escribe el reporte en este libro XLSX.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("docx"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Escribe el reporte en este documento DOCX.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
    });
    if (kind.perEmployee)
        line.add({{QStringLiteral("employee"),
                   cliText(QT_TRANSLATE_NOOP("qacsemaf", "Empleado (COD_EMPL) del resultado que se reporta; por omisión "
                                                         "el primero.")),
                   QStringLiteral("id")}});
    if (kind.rows.fill)
        line.add({{QStringLiteral("rows"),
                   cliText(QT_TRANSLATE_NOOP("qacsemaf", "Imprime las filas de requisitos del reporte (csv o json) en "
                                                         "lugar de escribir un archivo; no abre ventanas.")),
                   cliText(QT_TRANSLATE_NOOP("qacsemaf", "formato"))}});
}

ReportOptions readReportOptions(const CommandLine &line, const ReportKind &kind)
{
    ReportOptions options{&kind, line.value(QStringLiteral("pdf")), line.value(QStringLiteral("xlsx")),
                          line.value(QStringLiteral("docx")),
                          kind.perEmployee ? line.value(QStringLiteral("employee")) : QString(), QString()};
    for (const char *file : kFileOptions)
        line.requireFolderOf(QLatin1String(file));
    const bool files = !options.pdf.isEmpty() || !options.xlsx.isEmpty() || !options.docx.isEmpty();
    if (kind.rows.fill && line.isSet(QStringLiteral("rows"))) {
        options.rows = line.choice(QStringLiteral("rows"), {"csv", "json"});
        for (const char *file : kFileOptions)
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

QString csvCell(QString text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

// The report's rows for one employee, each led by the employee.
void printRows(const QString &employee, TDataSet &rows, const QVector<ReportRows::Column> &columns,
               const QString &format, QTextStream &out)
{
    QJsonArray array;
    if (format == QLatin1String("csv")) {
        out << "COD_EMPL";
        for (const ReportRows::Column &column : columns)
            out << ',' << column.name;
        out << '\n';
    }
    for (rows.First(); !rows.Eof(); rows.Next()) {
        QJsonObject object{{QStringLiteral("COD_EMPL"), employee}};
        QStringList cells{csvCell(employee)};
        for (const ReportRows::Column &column : columns) {
            TField *field = rows.FieldByName(column.name);
            object.insert(column.name,
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

// The report on a generation run by positions, headless: `form` stands for the main window, its
// fields filled as the career tree would fill them for these positions.
int produceFromGeneration(const ReportOptions &options, GenerateOptions run)
{
    HeadlessMainForm form;   // attached after the generation, which reads its inputs from the options
    HeadlessWorkstation workstation(run.common.session());
    TDtmAcSemaf &module = workstation.module;
    run.common.proveSession(workstation.connection);
    workstation.companies.Open();
    runGeneration(run, module);
    openCompanyHeader(module, run.common.company);

    ReportData data{module, targetName(module, run.inputs)};
    fillTreeFields(run.inputs, form);
    module.Forma = &form;
    QTextStream out(stdout);
    writeReport(options, data, out);
    return 0;
}

// The report on two snapshots of a plan, headless.
int produceFromSnapshots(const ReportOptions &options, const CommonOptions &common, std::pair<int, int> snapshots)
{
    HeadlessWorkstation workstation(common.session());
    common.proveSession(workstation.connection);
    workstation.companies.Open();
    const engine::SnapshotComparison comparison =
        SuccessionSnapshots(workstation.connection).compare(snapshots.first, snapshots.second, common.company);
    TDtmAcSemaf &module = workstation.module;
    openCompanyHeader(module, comparison.to.company);
    ReportData data{module, QString(), &comparison};
    QTextStream out(stdout);
    writeReport(options, data, out);
    return 0;
}

// What `qacsemaf report --help` says.
void printHelp(const QString &program)
{
    QStringList helps;
    for (const QString &name : reportNames())
        helps << QStringLiteral("\"%1 %2 --help\"").arg(program, name);
    QTextStream(stdout) << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Uso: %1 %2 [opciones]"))
                               .arg(program, reportNames().join(QLatin1Char('|')))
                        << "\n\n"
                        << cliText(QT_TRANSLATE_NOOP("qacsemaf", "Las opciones de cada reporte: %1."))
                               .arg(helps.join(QStringLiteral(", ")))
                        << '\n';
}

} // namespace

void writeReport(const ReportOptions &options, const ReportData &data, QTextStream &out)
{
    const ReportKind &kind = *options.kind;
    TDtmAcSemaf &module = data.module;
    // No page of the window to keep in step with the result or the report's rows.
    module.CdsAcSemaf.AfterScroll = nullptr;
    module.CdsDtpcaRep.AfterScroll = nullptr;
    TDataSet &result = module.CdsAcSemaf;
    if (kind.perEmployee && !options.employee.isEmpty() && !result.Locate(QStringLiteral("COD_EMPL"), options.employee))
        throw Exception(cliText(QT_TRANSLATE_NOOP("qacsemaf", "el empleado %1 no está en el resultado de esta "
                                                              "generación")).arg(options.employee));
    if (!options.rows.isEmpty()) {
        TDataSet &rows = kind.rows.fill(data);
        printRows(result.FieldByName(QStringLiteral("COD_EMPL"))->AsString(), rows, kind.rows.columns, options.rows, out);
        return;
    }
    if (kind.perEmployee && !result.IsEmpty())
        out << "qacsemaf: "
            << cliText(QT_TRANSLATE_NOOP("qacsemaf", "empleado %1 (%2 %3)"))
                   .arg(result.FieldByName(QStringLiteral("COD_EMPL"))->AsString(),
                        result.FieldByName(QStringLiteral("NOM_EMPL"))->AsString(),
                        result.FieldByName(QStringLiteral("APE_EMPL"))->AsString())
            << '\n';
    // A chart is drawn by the painter the program installed: the charting library in the window
    // program, as in the preview window.
    kind.produce(data, [&](report::Report &report) { writeFiles(options, report.prepare(), out); });
}

int runReportCommandWith(const QStringList &arguments, const ReportOnPlanNode &onPlanNode)
{
    const QString kinds = reportNames().join(QStringLiteral(", "));
    try {
        if (arguments.size() < 2)
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "indique el reporte: %1")).arg(kinds));
        const QString name = arguments.at(1);
        if (name == QLatin1String("--help") || name == QLatin1String("-h")) {
            printHelp(arguments.value(0));
            return 0;
        }
        const ReportKind *kind = reportKind(name);
        if (!kind)
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "reporte desconocido \"%1\" (use %2)")).arg(name, kinds));
        QStringList rest = arguments;
        rest[0] += QLatin1Char(' ') + name;
        rest.removeAt(1);
        CommandLine line(rest.value(0), cliText(kind->summary));
        addReportOptions(line, *kind);
        try {
            line.parse(rest);
            if (kind->source == ReportSource::Snapshots) {
                const std::pair<int, int> snapshots = snapshotNumbers(line);
                const ReportOptions options = readReportOptions(line, *kind);
                return produceFromSnapshots(options, CommonOptions::read(line), snapshots);
            }
            const ReportOptions options = readReportOptions(line, *kind);
            if (givesPlanNode(line)) {
                const PlanNode node = readPlanNode(line, positionOptions());
                if (!onPlanNode)
                    throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "--plan y --node van por la ventana "
                                                                           "principal, que este programa no abre")));
                return onPlanNode(line, node, options);
            }
            return produceFromGeneration(options, readGenerateOptions(line));
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
