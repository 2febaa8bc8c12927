// Exports a user can open: the PDF read back with pdftotext and pdfinfo, the XLSX with an
// independent reader (openpyxl); a cancelled export leaves the earlier file as it was.

#include "DataTable.h"
#include "ReportFixtures.h"

#include "PdfExport.h"
#include "TestTools.h"
#include "XlsxExport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace report;
using reporttest::BoundReport;

class TestReportExport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void pdfText()
    {
        BoundReport bound(QStringLiteral("list"), 60);
        const QString path = m_dir.filePath(QStringLiteral("list.pdf"));
        QString error;
        QVERIFY2(PdfExport::write(bound.report.prepare(), path, &error), qPrintable(error));
        const QString info = tool(QStringLiteral("pdfinfo"), {path});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("612 x 792 pts (letter)")), qPrintable(info));
        const QString text = tool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        for (const QString &expected : {QStringLiteral("Compañía Análisis S.A."), reporttest::rowName(1),
                                        reporttest::rowName(60), QStringLiteral("87.50 %"), QStringLiteral("750.00 %"),
                                        QStringLiteral("Página: 2"), QStringLiteral("Usuario: ADMIN")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" not in:\n") + text));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Nro\\. Registros:\\s+60"))), qPrintable(text));
        QCOMPARE(text.count(QStringLiteral("Nro. Registros:")), 1);
        QCOMPARE(text.count(QStringLiteral("Código")), 2);
        const QString fonts = tool(QStringLiteral("pdffonts"), {path});
        QVERIFY2(!fonts.contains(QRegularExpression(QStringLiteral("\\bno\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+\\s*$"),
                                                    QRegularExpression::MultilineOption)),
                 qPrintable(fonts));   // every font embedded
    }

    // Every page in its own orientation.
    void pdfPageSizes()
    {
        BoundReport bound(QStringLiteral("twopages"), 4);
        const QString path = m_dir.filePath(QStringLiteral("twopages.pdf"));
        QString error;
        QVERIFY2(PdfExport::write(bound.report.prepare(), path, &error), qPrintable(error));
        const QString info = tool(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                                              QStringLiteral("-l"), QStringLiteral("2"), path});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page\\s+1 size:\\s+612 x 792 pts"))), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page\\s+2 size:\\s+792 x 612 pts"))), qPrintable(info));
    }

    void xlsxRows()
    {
        BoundReport bound(QStringLiteral("list"), 60);
        const QString path = m_dir.filePath(QStringLiteral("list.xlsx"));
        QString error;
        QVERIFY2(XlsxExport::write(bound.report.prepare(), path, &error), qPrintable(error));
        // Debian's interpreter, the one python3-openpyxl is installed for.
        const QString output = tool(QStringLiteral("/usr/bin/python3"), {QStringLiteral(READ_XLSX), path});
        const QJsonObject book = QJsonDocument::fromJson(output.toUtf8()).object();
        QVERIFY2(!book.isEmpty(), qPrintable(output));
        QCOMPARE(book.value("title").toString(), QStringLiteral("list"));
        QCOMPARE(book.value("images").toInt(), 1);   // the logo, once
        const QJsonArray rows = book.value("rows").toArray();
        QJsonArray data;
        int headers = 0;
        for (const QJsonValue &row : rows) {
            const QJsonArray cells = row.toArray();
            if (cells.first().toArray().first().toString() == QStringLiteral("Código"))
                ++headers;
            if (cells.size() == 3 && cells.first().toArray().first().isDouble())
                data << cells;
        }
        QVERIFY2(headers == 1, qPrintable(output));
        QCOMPARE(data.size(), 60);
        for (int i = 0; i < 60; ++i) {
            const QJsonArray cells = data.at(i).toArray();
            QCOMPARE(cells.at(0).toArray().at(0).toDouble(), double(i + 1));
            QCOMPARE(cells.at(1).toArray().at(0).toString(), reporttest::rowName(i + 1));
            QCOMPARE(cells.at(2).toArray().at(0).toDouble(), (i + 1) * 12.5);
            QCOMPARE(cells.at(2).toArray().at(1).toString(), QStringLiteral("#,##0.00\" %\""));
        }
        const QJsonArray last = rows.last().toArray();
        QCOMPARE(last.at(0).toArray().at(0).toString(), QStringLiteral("Usuario: ADMIN"));
        const QJsonArray summary = rows.at(rows.size() - 2).toArray();
        QCOMPARE(summary.at(0).toArray().at(0).toString(), QStringLiteral("Nro. Registros:"));
        QCOMPARE(summary.at(1).toArray().at(0).toDouble(), 60.0);
    }

    void numberFormats_data()
    {
        addColumns<QString, QString, QString, QString>({"format", "prefix", "suffix", "expected"});
        QTest::newRow("thousands") << "%2.2n" << QString() << " %" << "#,##0.00\" %\"";
        QTest::newRow("integer") << "%d" << "N: " << QString() << "\"N: \"0";
        QTest::newRow("mask with literal") << "#,##0.00 %" << QString() << QString() << "#,##0.00\" %\"";
    }

    void numberFormats()
    {
        QFETCH(QString, format);
        QFETCH(QString, prefix);
        QFETCH(QString, suffix);
        QFETCH(QString, expected);
        QCOMPARE(XlsxExport::numberFormat(format, prefix, suffix), expected);
    }

    void cancelledExportKeepsFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("pdf") << "pdf";
        QTest::newRow("xlsx") << "xlsx";
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
        const bool written = kind == QLatin1String("pdf") ? PdfExport::write(prepared, path, &error, cancelAtSecond)
                                                          : XlsxExport::write(prepared, path, &error, cancelAtSecond);
        QVERIFY(!written);
        QCOMPARE(error, path + QStringLiteral(": export cancelled"));
        QFile kept(path);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("earlier export"));
    }

private:
    QString tool(const QString &program, const QStringList &arguments)
    {
        const ProgramRun run = runProgram(program, arguments);
        return run.exitCode == 0 ? run.output : QStringLiteral("%1 failed: %2").arg(program, run.errors);
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestReportExport)
#include "tst_reportexport.moc"
