// The preview window: opens at 100 % on the first page, pages and zoom move as asked, find goes
// to the page of the match, exports ask before replacing a file, and printing paints every page.
// The chart drawn by the charting library is read back in the competence report's PDF test.

#include "DataTable.h"
#include "ReportFixtures.h"

#include "DialogService.h"
#include "PageView.h"
#include "ReportPreview.h"
#include "ReportPrinting.h"
#include "TestTools.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

using namespace report;
using reporttest::BoundReport;

namespace {

// 130 rows: three sheets.
std::unique_ptr<ReportPreview> preview()
{
    BoundReport bound(QStringLiteral("list"), 130);
    auto window = std::make_unique<ReportPreview>(bound.report.prepare());
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    return window;
}

QAction *action(ReportPreview &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

} // namespace

class TestReportPreview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void opensAtFullSize()
    {
        auto window = preview();
        QCOMPARE(window->zoom(), 1.0);
        QCOMPARE(window->currentPage(), 0);
        // Letter at 96 dpi.
        QCOMPARE(window->pageView()->size(), QSize(816, 1056));
        window->setZoom(10);
        QCOMPARE(window->zoom(), 4.0);
    }

    void navigation_data()
    {
        addColumns<QStringList, int>({"actions", "page"});
        QTest::newRow("next") << QStringList{"actionSiguiente"} << 1;
        QTest::newRow("last") << QStringList{"actionUltima"} << 2;
        QTest::newRow("not past the last") << QStringList{"actionUltima", "actionSiguiente"} << 2;
        QTest::newRow("back") << QStringList{"actionUltima", "actionAnterior"} << 1;
        QTest::newRow("first") << QStringList{"actionSiguiente", "actionSiguiente", "actionPrimera"} << 0;
        QTest::newRow("not before the first") << QStringList{"actionAnterior"} << 0;
    }

    void navigation()
    {
        QFETCH(QStringList, actions);
        QFETCH(int, page);
        auto window = preview();
        for (const QString &name : actions)
            action(*window, qPrintable(name))->trigger();
        QCOMPARE(window->currentPage(), page);
        QCOMPARE(action(*window, "actionSiguiente")->isEnabled(), page < 2);
        QCOMPARE(action(*window, "actionAnterior")->isEnabled(), page > 0);
    }

    void findGoesToTheMatch()
    {
        auto window = preview();
        DialogRecorder dialogs;
        QVERIFY(window->find(reporttest::rowName(100)));
        QCOMPARE(window->currentPage(), 2);   // rows 89 to 130
        QVERIFY(window->find(QStringLiteral("página:")));
        QCOMPARE(window->currentPage(), 0);   // wrapped round to the first page header
        QVERIFY(!window->find(QStringLiteral("zzz")));
        QCOMPARE(dialogs.texts(), QStringList{"No se encontró \"zzz\"."});
    }

    void exportActionAsksForTheFile()
    {
        const QString path = m_dir.filePath(QStringLiteral("chosen.xlsx"));
        auto window = preview();
        DialogRecorder dialogs([&](const DialogService::Request &request) {
            auto *chooser = qobject_cast<QFileDialog *>(request.dialog);
            if (!chooser)
                return int(DialogService::No);
            chooser->selectFile(path);
            return int(QDialog::Accepted);
        });
        action(*window, "actionExportarXlsx")->trigger();
        QCOMPARE(dialogs.requests.size(), 1);
        QCOMPARE(dialogs.requests.first().kind, DialogService::Modal);
        QVERIFY(QFile::exists(path));
    }

    void overwrite_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("replaced") << true;
        QTest::newRow("kept") << false;
    }

    void overwrite()
    {
        QFETCH(bool, replace);
        const QString path = m_dir.filePath(QStringLiteral("existing.pdf"));
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier");
        }
        auto window = preview();
        DialogRecorder dialogs([replace](const DialogService::Request &) {
            return replace ? DialogService::Yes : DialogService::No;
        });
        QCOMPARE(window->exportTo(path, ReportPrinting::Format::Pdf), replace);
        QCOMPARE(dialogs.texts(), QStringList{"El archivo existing.pdf ya existe. ¿Desea reemplazarlo?"});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(5) == "%PDF-", replace);
    }

    void printsEveryPage()
    {
        BoundReport bound(QStringLiteral("twopages"), 3);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString path = m_dir.filePath(QStringLiteral("printed.pdf"));
        printer.setOutputFileName(path);
        QString error;
        QVERIFY2(ReportPrinting::print(bound.report.prepare(), printer, &error), qPrintable(error));
        const QString info = runProgram(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "2", path}).output;
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page\\s+1 size:\\s+612 x 792 pts"))), qPrintable(info));
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page\\s+2 size:\\s+792 x 612 pts"))), qPrintable(info));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestReportPreview)
#include "tst_reportpreview.moc"
