#include "ReportCommand.h"

#include "DAcSemaf.h"
#include "Exceptions.h"
#include "GenerateCommand.h"
#include "HeadlessWorkstation.h"
#include "PdfExport.h"
#include "TField.h"
#include "TReportesAcSemaf.h"
#include "Ugnnorma.h"
#include "XlsxExport.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace {

struct ReportOptions {
    GenerateOptions run;
    QString pdf;
    QString xlsx;
};

ReportOptions parse(QStringList arguments)
{
    if (arguments.size() < 2 || arguments.at(1) != QLatin1String("list"))
        throw UsageError(arguments.size() < 2 ? QStringLiteral("name the report: list")
                                              : QStringLiteral("unknown report \"%1\" (use list)").arg(arguments.at(1)));
    arguments[0] += QStringLiteral(" list");
    arguments.removeAt(1);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Runs the traffic-light generation as qacsemaf generate does and writes the list report of the result."));
    addGenerateOptions(parser);
    parser.addOptions({
        {QStringLiteral("pdf"), QStringLiteral("Write the report to this PDF file."), QStringLiteral("file")},
        {QStringLiteral("xlsx"), QStringLiteral("Write the report to this XLSX workbook."), QStringLiteral("file")},
    });
    parseCommandLine(parser, arguments);
    ReportOptions options{readGenerateOptions(parser), parser.value(QStringLiteral("pdf")),
                          parser.value(QStringLiteral("xlsx"))};
    if (options.pdf.isEmpty() && options.xlsx.isEmpty())
        throw UsageError(QStringLiteral("--pdf or --xlsx is required"));
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
    if (positions.Locate(QStringLiteral("cod_empr;cod_carg"), QVariantList{inputs.empreAspira.toInt(), inputs.cargoAspira}))
        return positions.FieldByName(QStringLiteral("nom_carg"))->AsString().trimmed();
    return inputs.cargoAspira;
}

void write(const report::PreparedReport &pages, const QString &path, bool pdf, QTextStream &out)
{
    QString error;
    const bool written = pdf ? report::PdfExport::write(pages, path, &error)
                             : report::XlsxExport::write(pages, path, &error);
    if (!written)
        throw Exception(error);
    out << "qacsemaf report: " << (pdf ? "PDF" : "XLSX") << ", " << pages.pageCount()
        << (pages.pageCount() == 1 ? " page: " : " pages: ") << path << '\n';
}

int produce(ReportOptions options)
{
    startGenerateSession(options.run);
    gStNombProg = QStringLiteral("QAcSemaf");
    HeadlessWorkstation workstation;
    TDtmAcSemaf &module = workstation.module;
    workstation.companies.Open();
    runGeneration(options.run, module);
    openCompanyHeader(module, options.run.company);

    TReportesAcSemaf reports(module);
    reports.CargoSinPlan = targetName(module, options.run.inputs);
    module.CdsAcSemaf.AfterScroll = nullptr;   // no positions page to keep in step
    QTextStream out(stdout);
    reports.ProducirListado([&](report::Report &report) {
        const report::PreparedReport pages = report.prepare();
        if (!options.pdf.isEmpty())
            write(pages, options.pdf, true, out);
        if (!options.xlsx.isEmpty())
            write(pages, options.xlsx, false, out);
    });
    return 0;
}

} // namespace

int runReportCommand(const QStringList &arguments)
{
    QTextStream err(stderr);
    try {
        return produce(parse(arguments));
    } catch (const UsageError &error) {
        err << "qacsemaf report: " << error.message() << '\n';
        return 2;
    } catch (const Exception &error) {
        err << error.Message() << '\n';
        return 1;
    }
}
