// The traffic-light list report with 10,000 employees: laying the pages out, writing the PDF
// (goal: under 3 s for both) and writing the XLSX workbook and the DOCX document. Prints its
// figures.

#include "data/DataModuleCatalog.h"
#include "engine/ResultSchema.h"
#include "reportengine/DocxExport.h"
#include "reportengine/PdfExport.h"
#include "reportengine/Report.h"
#include "framework/dataset/TClientDataSet.h"
#include "framework/dataset/TField.h"
#include "reportengine/XlsxExport.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTextStream>

using protocol::FieldType;

namespace {

constexpr int kRows = 10000;

void result(TClientDataSet &rows)
{
    DataModuleCatalog::defineResultFields(rows, engine::trafficLightTable());
    rows.CreateDataSet();
    for (int i = 0; i < kRows; ++i) {
        rows.Append();
        rows.FieldByName(QStringLiteral("COD_EMPL"))->setAsFloat(1000000000.0 + i * 7919);
        rows.FieldByName(QStringLiteral("POR_EMPL"))->setAsFloat((i * 37) % 12000 / 100.0);
        rows.FieldByName(QStringLiteral("NUM_PERA"))->setAsInteger(8 + i % 4);
        rows.FieldByName(QStringLiteral("APE_EMPL"))->setAsString(QStringLiteral("Muñoz Peña %1").arg(i));
        rows.FieldByName(QStringLiteral("NOM_EMPL"))->setAsString(QStringLiteral("José Ángel"));
        rows.FieldByName(QStringLiteral("COD_EMCA"))->setAsInteger(1);
        rows.Post();
    }
}

void company(TClientDataSet &header)
{
    header.AddField(QStringLiteral("NOM_EMPR"), FieldType::String, 80);
    header.AddField(QStringLiteral("NIT_EMPR"), FieldType::Float);
    header.AddField(QStringLiteral("BMP_REPO"), FieldType::Blob);
    header.CreateDataSet();
    QImage logo(160, 100, QImage::Format_RGB32);
    logo.fill(QColor(40, 120, 200));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    logo.save(&buffer, "PNG");
    header.Append();
    header.FieldByName(QStringLiteral("NOM_EMPR"))->setAsString(QStringLiteral("Compañía de Prueba S.A."));
    header.FieldByName(QStringLiteral("NIT_EMPR"))->setAsFloat(900123456);
    header.FieldByName(QStringLiteral("BMP_REPO"))->setAsVariant(png);
    header.Post();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    TClientDataSet rows(QStringLiteral("CdsAcSemaf"));
    TClientDataSet header(QStringLiteral("QryGnEmpre"));
    result(rows);
    company(header);

    report::Report list;
    QString error;
    if (!list.loadLayout(QStringLiteral(":/reports/frxRptEstan.json"), &error)) {
        out << error << '\n';
        return 1;
    }
    list.setDataSet(engine::trafficLightTable().reportName, &rows);
    list.setDataSet(QStringLiteral("QryGnEmpre"), &header);
    list.OnGetValue = [](const QString &name, QVariant &value) {
        if (name == QLatin1String("gStCargo"))
            value = QStringLiteral("Supervisor de Planta");
    };

    QTemporaryDir dir;
    QElapsedTimer timer;
    timer.start();
    const report::PreparedReport pages = list.prepare();
    const qint64 layout = timer.restart();
    const QString pdf = dir.filePath(QStringLiteral("list.pdf"));
    if (!report::PdfExport::write(pages, pdf, &error)) {
        out << error << '\n';
        return 1;
    }
    const qint64 pdfTime = timer.restart();
    const QString xlsx = dir.filePath(QStringLiteral("list.xlsx"));
    if (!report::XlsxExport::write(pages, xlsx, &error)) {
        out << error << '\n';
        return 1;
    }
    const qint64 xlsxTime = timer.restart();
    const QString docx = dir.filePath(QStringLiteral("list.docx"));
    if (!report::DocxExport::write(pages, docx, &error)) {
        out << error << '\n';
        return 1;
    }
    const qint64 docxTime = timer.elapsed();

    out << "list report, " << kRows << " rows, " << pages.pageCount() << " pages\n"
        << "  layout          " << layout << " ms\n"
        << "  PDF             " << pdfTime << " ms (" << QFileInfo(pdf).size() / 1024 << " KiB)\n"
        << "  layout + PDF    " << layout + pdfTime << " ms (goal: under 3000 ms)\n"
        << "  XLSX            " << xlsxTime << " ms (" << QFileInfo(xlsx).size() / 1024 << " KiB)\n"
        << "  DOCX            " << docxTime << " ms (" << QFileInfo(docx).size() / 1024 << " KiB)\n";
    return 0;
}
