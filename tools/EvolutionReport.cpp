#include "tools/EvolutionReport.h"

#include "data/DAcSemaf.h"
#include "data/HeadlessWorkstation.h"
#include "data/SuccessionSnapshots.h"
#include "framework/Exceptions.h"
#include "reportengine/DocxExport.h"
#include "reportengine/PdfExport.h"
#include "reportengine/XlsxExport.h"
#include "reports/TReportesEvolucion.h"
#include "tools/CommandLine.h"
#include "tools/CommonOptions.h"

#include <QTextStream>

int runEvolutionReport(const QStringList &arguments)
{
    CommandLine line(arguments.value(0), cliText(QT_TRANSLATE_NOOP(
        "qacsemaf", "Escribe el reporte Evolución del Plan: la comparación de dos cortes de un mismo plan (qacsemaf "
                    "snapshot compare), por nodo y por persona.")));
    line.takeArguments(cliText(QT_TRANSLATE_NOOP("qacsemaf", "A B")), 2);
    CommonOptions::addTo(line);
    line.add({
        {QStringLiteral("pdf"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Escribe el reporte en este archivo PDF.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("xlsx"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Escribe el reporte en este libro XLSX.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
        {QStringLiteral("docx"), cliText(QT_TRANSLATE_NOOP("qacsemaf", "Escribe el reporte en este documento DOCX.")),
         cliText(QT_TRANSLATE_NOOP("qacsemaf", "archivo"))},
    });
    try {
        line.parse(arguments);
        const QStringList numbers = line.arguments();
        int from = 0, to = 0;
        bool ok = numbers.size() == 2;
        if (ok)
            from = numbers.at(0).toInt(&ok);
        if (ok)
            to = numbers.at(1).toInt(&ok);
        if (!ok)
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "indique los dos cortes que se comparan: compare A B, "
                                                                   "dos números")));
        for (const char *file : {"pdf", "xlsx", "docx"})
            line.requireFolderOf(QLatin1String(file));
        const QString pdf = line.value(QStringLiteral("pdf"));
        const QString xlsx = line.value(QStringLiteral("xlsx"));
        const QString docx = line.value(QStringLiteral("docx"));
        if (pdf.isEmpty() && xlsx.isEmpty() && docx.isEmpty())
            throw UsageError(cliText(QT_TRANSLATE_NOOP("qacsemaf", "falta --pdf, --xlsx o --docx")));
        const CommonOptions common = CommonOptions::read(line);

        HeadlessWorkstation workstation(common.session());
        common.proveSession(workstation.connection);
        workstation.companies.Open();
        engine::SnapshotComparison comparison = SuccessionSnapshots(workstation.connection).compare(from, to, common.company);
        TDtmAcSemaf &module = workstation.module;
        module.QryGnEmpre.Close();
        module.QryGnEmpre.ParamByName(QStringLiteral("P_COD_EMPR"))->setAsSmallInt(comparison.to.company);
        module.QryGnEmpre.Open();
        TReportesEvolucion reports(module, std::move(comparison));
        QTextStream out(stdout);
        reports.Producir([&](report::Report &report) {
            const report::PreparedReport pages = report.prepare();
            using Writer = bool (*)(const report::PreparedReport &, const QString &, QString *,
                                    const std::function<bool(int, int)> &);
            const struct {
                const QString &path;
                const char *kind;
                Writer write;
            } files[] = {{pdf, "PDF", &report::PdfExport::write},
                         {xlsx, "XLSX", &report::XlsxExport::write},
                         {docx, "DOCX", &report::DocxExport::write}};
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
        });
        return 0;
    } catch (const UsageError &error) {
        return reportUsageError(error, arguments.value(0));
    } catch (const Exception &error) {
        return reportFailure(error.Message());
    }
}
