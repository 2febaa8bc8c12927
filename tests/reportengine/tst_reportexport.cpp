// Exports read back by independent readers (poppler, openpyxl, python-docx), and cancelled ones.

#include "tests/support/DataTable.h"
#include "tests/reportengine/ReportFixtures.h"

#include "reportengine/DocxExport.h"
#include "reportengine/PdfExport.h"
#include "reportengine/ReportFile.h"
#include "tests/support/PdfTools.h"
#include "tests/support/TestTools.h"
#include "reportengine/XlsxExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace report;
using reporttest::BoundReport;

namespace {

DocumentInfo documentInfo(const QString &title)
{
    return DocumentInfo{title, QStringLiteral("ADMIN"), QStringLiteral("Compañía Análisis S.A."), QDateTime()};
}

} // namespace

class TestReportExport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    // The text, document facts and fonts of a PDF a user opens, and every page in its own orientation.
    void pdf_data()
    {
        addColumns<QString, QString, QString>({"title", "author", "subject"});
        QTest::newRow("accents") << "Semáforo de Carrera - Jefe de Operación" << "ADMIN" << "Compañía Análisis S.A.";
        QTest::newRow("delimiters in the title, no subject") << "Competencias (borrador) \\ 50%" << "JPÉREZ" << QString();
    }

    void pdf()
    {
        QFETCH(QString, title);
        QFETCH(QString, author);
        QFETCH(QString, subject);
        BoundReport bound(QStringLiteral("list"), 60);
        bound.report.Info = DocumentInfo{title, author, subject, QDateTime()};
        const QString path = m_dir.filePath(QStringLiteral("list.pdf"));
        QString error;
        QVERIFY2(PdfExport::write(bound.report.prepare(), path, &error), qPrintable(error));
        const ProgramRun run = runProgram(QStringLiteral("pdfinfo"), {path});
        QVERIFY2(run.exitCode == 0 && run.errors.isEmpty(), qPrintable(run.errors));   // the update reads cleanly
        const auto line = [&](const QString &key) {
            return QRegularExpression(QStringLiteral("^%1:\\s+(.*)$").arg(key), QRegularExpression::MultilineOption)
                .match(run.output)
                .captured(1);
        };
        QCOMPARE(line(QStringLiteral("Title")), title);
        QCOMPARE(line(QStringLiteral("Author")), author);
        QCOMPARE(line(QStringLiteral("Subject")), subject);
        QCOMPARE(line(QStringLiteral("Pages")), QStringLiteral("2"));
        QCOMPARE(line(QStringLiteral("Page size")), QStringLiteral("612 x 792 pts (letter)"));
        const QString text = pdfToText(path);
        for (const QString &expected : {QStringLiteral("Compañía Análisis S.A."), reporttest::rowName(1),
                                        reporttest::rowName(60), QStringLiteral("87.50 %"),
                                        QStringLiteral("Página: 2")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" not in:\n") + text));
        const QString fonts = tool(QStringLiteral("pdffonts"), {path});
        QVERIFY2(!fonts.contains(QRegularExpression(QStringLiteral("\\bno\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+\\s*$"),
                                                    QRegularExpression::MultilineOption)),
                 qPrintable(fonts));   // every font embedded

        BoundReport twoPages(QStringLiteral("twopages"), 4);
        QVERIFY2(PdfExport::write(twoPages.report.prepare(), path, &error), qPrintable(error));
        const QString sizes = pdfInfo(path, 2);
        QVERIFY2(sizes.contains(QRegularExpression(QStringLiteral("Page\\s+1 size:\\s+612 x 792 pts"))), qPrintable(sizes));
        QVERIFY2(sizes.contains(QRegularExpression(QStringLiteral("Page\\s+2 size:\\s+792 x 612 pts"))), qPrintable(sizes));
    }

    // The table of each layout page as worksheet rows a user can sort and filter.
    void xlsxTable_data()
    {
        addColumns<QString, int, QStringList, int, QStringList, int>(
            {"layout", "records", "captions", "nameColumn", "sheets", "images"});
        QTest::newRow("two pages of records") << "list" << 60 << QStringList{"Código", "Nombre", "Porcentaje"} << 2
                                              << QStringList{"Semáforo de Carrera - Jefe Bode"} << 1;
        QTest::newRow("table and chart") << "twopages" << 4 << QStringList{"Tabla de requisitos"} << 1
                                         << QStringList{"Semáforo de Carrera - Jefe Bode", "Semáforo de Carrera - Jefe (2)"}
                                         << 1;
    }

    void xlsxTable()
    {
        QFETCH(QString, layout);
        QFETCH(int, records);
        QFETCH(QStringList, captions);
        QFETCH(int, nameColumn);
        QFETCH(QStringList, sheets);
        QFETCH(int, images);
        BoundReport bound(layout, records);
        bound.report.Info = documentInfo(QStringLiteral("Semáforo de Carrera - Jefe: [Bodega]/Norte"));
        const QJsonObject book = readXlsx(bound.report.prepare());
        QStringList titles;
        for (const QJsonValue &sheet : book.value("sheets").toArray())
            titles << sheet.toObject().value("title").toString();
        QCOMPARE(titles, sheets);
        QCOMPARE(book.value("images").toInt(), images);

        const QJsonObject sheet = book.value("sheets").toArray().first().toObject();
        QCOMPARE(sheet.value("merged").toArray(), QJsonArray());
        const QHash<int, QJsonArray> rows = rowsOf(sheet);
        int header = 0;
        for (auto it = rows.begin(); it != rows.end(); ++it)
            if (cellText(it.value(), 1) == captions.first())
                header = it.key();
        QVERIFY2(header > 0, qPrintable(QJsonDocument(sheet).toJson()));
        for (int c = 0; c < captions.size(); ++c)
            QCOMPARE(cellText(rows.value(header), c + 1), captions.at(c));
        QCOMPARE(sheet.value("freeze").toString(), QStringLiteral("A%1").arg(header + 1));
        const QChar lastColumn(char16_t('A' + captions.size() - 1));
        QCOMPARE(sheet.value("autofilter").toString(),
                 QStringLiteral("A%1:%2%3").arg(header).arg(lastColumn).arg(header + records));
        for (int i = 1; i <= records; ++i)
            QCOMPARE(cellText(rows.value(header + i), nameColumn), reporttest::rowName(i));
        const QJsonObject properties = book.value("properties").toObject();
        QCOMPARE(properties.value("title").toString(), bound.report.Info.title);
        QCOMPARE(properties.value("creator").toString(), QStringLiteral("ADMIN"));
        QCOMPARE(properties.value("subject").toString(), QStringLiteral("Compañía Análisis S.A."));
        QCOMPARE(properties.value("company").toString(), QStringLiteral("Compañía Análisis S.A."));
        if (layout != QLatin1String("list"))
            return;
        // Codes and percentages as numbers; the summary after a blank line, its count a number.
        for (int i = 1; i <= records; ++i) {
            const QJsonArray cells = rows.value(header + i);
            QCOMPARE(cellValue(cells, 1).toDouble(), double(i));
            QCOMPARE(cellValue(cells, 3).toDouble(), i * 12.5);
            QCOMPARE(cellFormat(cells, 3), QStringLiteral("#,##0.00\" %\""));
        }
        QCOMPARE(rows.value(header + records + 1), QJsonArray());
        QCOMPARE(cellText(rows.value(header + records + 2), 2), QStringLiteral("Nro. Registros:"));
        QCOMPARE(cellValue(rows.value(header + records + 2), 3).toDouble(), double(records));
    }

    // The page header's date and time as date and time cells, also in a report saved and opened again.
    void xlsxDateAndTime_data()
    {
        addColumns<bool>({"reopened"});
        QTest::newRow("as prepared") << false;
        QTest::newRow("saved and opened again") << true;
    }

    void xlsxDateAndTime()
    {
        QFETCH(bool, reopened);
        BoundReport bound(QStringLiteral("twopages"), 4);
        bound.report.Info = documentInfo(QStringLiteral("Competencias"));
        PreparedReport prepared = bound.report.prepare();
        if (reopened) {
            QString error;
            const auto read = ReportFile::fromBytes(ReportFile::toBytes(prepared, &error), QStringLiteral("x"), &error);
            QVERIFY2(read, qPrintable(error));
            prepared = *read;
        }
        QString printedTime;
        for (const QString &text : prepared.pages.first().texts())
            if (text.startsWith(QLatin1String("Hora: ")))
                printedTime = text.mid(6);
        const QJsonObject book = readXlsx(prepared);
        const QJsonArray sheets = book.value("sheets").toArray();
        QJsonObject date;
        QJsonObject time;
        for (const QJsonValue &row : sheets.first().toObject().value("rows").toArray())
            for (const QJsonValue &cell : row.toArray().at(1).toArray()) {
                const QJsonArray fields = cell.toArray();
                if (fields.at(2).toString().startsWith(QLatin1String("\"Fecha: \"")))
                    date = fields.at(1).toObject();
                if (fields.at(2).toString().startsWith(QLatin1String("\"Hora: \"")))
                    time = fields.at(1).toObject();
            }
        QCOMPARE(date.value("datetime").toString(), prepared.info.created.date().toString(Qt::ISODate) + QStringLiteral("T00:00:00"));
        QCOMPARE(time.value("time").toString(), printedTime);
    }

    // The sheet names and the date and number formats a workbook is written with.
    void xlsxTexts_data()
    {
        // kind: sheet (prefix: the sheet's index), date or number
        addColumns<QString, QString, QString, QString, QString>({"kind", "text", "prefix", "suffix", "expected"});
        QTest::newRow("sheet: forbidden characters") << "sheet" << "a[b]c:d*e?f/g\\h" << "0" << "" << "abcdefgh";
        QTest::newRow("sheet: nothing left") << "sheet" << " /?* " << "0" << "" << "Reporte";
        QTest::newRow("date: short date") << "date" << "dd/MM/yyyy" << "Fecha: " << "" << "\"Fecha: \"dd/mm/yyyy";
        QTest::newRow("date: quoted words") << "date" << "d 'de' MMMM yyyy" << "" << "" << "d \"de \"mmmm yyyy";
        QTest::newRow("number: thousands") << "number" << "%2.2n" << "" << " %" << "#,##0.00\" %\"";
        QTest::newRow("number: mask with literal") << "number" << "#,##0.00 %" << "" << "" << "#,##0.00\" %\"";
    }

    void xlsxTexts()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QString, prefix);
        QFETCH(QString, suffix);
        QFETCH(QString, expected);
        QCOMPARE(kind == QLatin1String("sheet")  ? XlsxExport::sheetName(text, prefix.toInt())
                 : kind == QLatin1String("date") ? XlsxExport::dateTimeFormat(text, prefix, suffix)
                                                 : XlsxExport::numberFormat(text, prefix, suffix),
                 expected);
    }

    // A real table under a repeating caption row; each layout page a section in its orientation.
    void docxDocument_data()
    {
        addColumns<QString, int, QStringList, QStringList, QList<bool>, int>(
            {"layout", "records", "captions", "firstRecord", "landscape", "pictures"});
        QTest::newRow("two pages of records") << "list" << 60 << QStringList{"Código", "Nombre", "Porcentaje"}
                                              << QStringList{"1", reporttest::rowName(1), "12.50 %"} << QList<bool>{false}
                                              << 1;
        QTest::newRow("table and chart") << "twopages" << 4 << QStringList{"Tabla de requisitos"}
                                         << QStringList{reporttest::rowName(1)} << QList<bool>{false, true} << 1;
    }

    void docxDocument()
    {
        QFETCH(QString, layout);
        QFETCH(int, records);
        QFETCH(QStringList, captions);
        QFETCH(QStringList, firstRecord);
        QFETCH(QList<bool>, landscape);
        QFETCH(int, pictures);
        BoundReport bound(layout, records);
        bound.report.Info = documentInfo(QStringLiteral("Semáforo de Carrera - Jefe de Operación"));
        const QString path = m_dir.filePath(QStringLiteral("report.docx"));
        QString error;
        QVERIFY2(DocxExport::write(bound.report.prepare(), path, &error), qPrintable(error));
        const QString output = tool(QStringLiteral("/usr/bin/python3"), {QStringLiteral(READ_DOCX), path});
        const QJsonObject document = QJsonDocument::fromJson(output.toUtf8()).object();
        QVERIFY2(!document.isEmpty(), qPrintable(output));

        const QJsonObject table = document.value("tables").toArray().first().toObject();
        QVERIFY(table.value("header").toBool());
        const QJsonArray rows = table.value("rows").toArray();
        QCOMPARE(rows.size(), records + 1);
        QCOMPARE(rows.at(0).toVariant().toStringList(), captions);
        QCOMPARE(rows.at(1).toVariant().toStringList(), firstRecord);
        const int nameColumn = firstRecord.indexOf(reporttest::rowName(1));
        for (int i = 1; i <= records; ++i)
            QCOMPARE(rows.at(i).toArray().at(nameColumn).toString(), reporttest::rowName(i));

        const QJsonArray sections = document.value("sections").toArray();
        QCOMPARE(sections.size(), landscape.size());
        for (int s = 0; s < sections.size(); ++s) {
            const QJsonObject section = sections.at(s).toObject();
            QCOMPARE(section.value("landscape").toBool(), landscape.at(s));
        }
        QCOMPARE(document.value("pictures").toInt(), pictures);
        const QJsonObject properties = document.value("properties").toObject();
        QCOMPARE(properties.value("title").toString(), QStringLiteral("Semáforo de Carrera - Jefe de Operación"));
        QCOMPARE(properties.value("author").toString(), QStringLiteral("ADMIN"));
        QCOMPARE(properties.value("subject").toString(), QStringLiteral("Compañía Análisis S.A."));
        if (layout != QLatin1String("list"))
            return;
        // The page header above the table, the summary after it, the page footer in the footer.
        const QString paragraphs = document.value("paragraphs").toVariant().toStringList().join('|');
        for (const char *paragraph : {"|\tCompañía Análisis S.A.|", "|\tJefe de Operación|", "|\tNro. Registros:\t60|"})
            QVERIFY2(('|' + paragraphs + '|').contains(QString::fromUtf8(paragraph)), qPrintable(paragraphs));
        QVERIFY2(!paragraphs.contains(QStringLiteral("Página")), qPrintable(paragraphs));
        QCOMPARE(sections.first().toObject().value("footer").toVariant().toStringList(), (QStringList{"\tUsuario: ADMIN", "Página: 1"}));
    }

    void cancelledExportKeepsFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("pdf") << "pdf";
        QTest::newRow("xlsx") << "xlsx";
        QTest::newRow("docx") << "docx";
    }

    void cancelledExportKeepsFile()
    {
        QFETCH(QString, kind);
        const QString path = m_dir.filePath(QStringLiteral("kept.") + kind);
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier export");
        }
        BoundReport bound(QStringLiteral("list"), 100);
        const PreparedReport prepared = bound.report.prepare();
        const auto cancelAtSecond = [](int done, int) { return done < 2; };
        QString error;
        const auto write = kind == QLatin1String("pdf")    ? &PdfExport::write
                           : kind == QLatin1String("xlsx") ? &XlsxExport::write
                                                           : &DocxExport::write;
        const bool written = write(prepared, path, &error, cancelAtSecond);
        QVERIFY(!written);
        QCOMPARE(error, path + QStringLiteral(": exportación cancelada"));
        QFile kept(path);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("earlier export"));
    }

private:
    QJsonObject readXlsx(const PreparedReport &prepared)
    {
        const QString path = m_dir.filePath(QStringLiteral("report.xlsx"));
        QString error;
        if (!XlsxExport::write(prepared, path, &error))
            qWarning("%s", qPrintable(error));
        // Debian's interpreter, the one python3-openpyxl is installed for.
        const QString output = tool(QStringLiteral("/usr/bin/python3"), {QStringLiteral(READ_XLSX), path});
        const QJsonObject book = QJsonDocument::fromJson(output.toUtf8()).object();
        if (book.isEmpty())
            qWarning("%s", qPrintable(output));
        return book;
    }

    // Row number -> its cells [column, value, format].
    static QHash<int, QJsonArray> rowsOf(const QJsonObject &sheet)
    {
        QHash<int, QJsonArray> rows;
        for (const QJsonValue &row : sheet.value("rows").toArray())
            rows.insert(row.toArray().at(0).toInt(), row.toArray().at(1).toArray());
        return rows;
    }
    static QJsonArray cell(const QJsonArray &cells, int column)
    {
        for (const QJsonValue &cell : cells)
            if (cell.toArray().at(0).toInt() == column)
                return cell.toArray();
        return QJsonArray();
    }
    static QJsonValue cellValue(const QJsonArray &cells, int column) { return cell(cells, column).at(1); }
    static QString cellText(const QJsonArray &cells, int column) { return cellValue(cells, column).toString(); }
    static QString cellFormat(const QJsonArray &cells, int column) { return cell(cells, column).at(2).toString(); }

    QString tool(const QString &program, const QStringList &arguments)
    {
        const ProgramRun run = runProgram(program, arguments);
        return run.exitCode == 0 ? run.output : QStringLiteral("%1 failed: %2").arg(program, run.errors);
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestReportExport)
#include "tst_reportexport.moc"
